#include "RecordingPage.h"
#include "ui/widgets/Fonts.h"

#include "display/core/NumberFormat.h"
#include "ui/icons/Icons.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/Indicators.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace qmx::ui {

namespace {

// Fixed Polish texts of the indicators, the same in both interface languages.
const QString kHeaderOn = QStringLiteral("Zapis do pliku aktywowany");
const QString kHeaderOff = QStringLiteral("Zapis do pliku");
const QString kWriting = QStringLiteral("ZAPIS");
const QString kActive = QStringLiteral("AKTYWNY");
const QString kIdle = QStringLiteral("...");
const QString kMessageTitle = QStringLiteral("QMX80NET");
constexpr int kFileNameWidth = 420;

template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* readOnlyEdit(const QString& text, const char* name, QWidget* parent)
{
    auto* edit = named(new QLineEdit(text, parent), name);
    edit->setReadOnly(true);
    return edit;
}

/// A file size in bytes, kB or MB (1 kB = 1024 B), with one decimal above bytes.
QString recordFileSizeText(qint64 bytes, const display::NumberLocale& locale)
{
    constexpr double kKilo = 1024.0;
    if (bytes < 1024) {
        return QStringLiteral("%1 B").arg(bytes);
    }
    if (static_cast<double>(bytes) < kKilo * kKilo) {
        return display::FormatFixed(static_cast<double>(bytes) / kKilo, 15, 1, locale) + QStringLiteral(" kB");
    }
    return display::FormatFixed(static_cast<double>(bytes) / (kKilo * kKilo), 15, 1, locale) + QStringLiteral(" MB");
}

QString defaultSaveFileName(QWidget* parent, const QString& current, const QString& filter)
{
    // No question about replacing an existing file: nothing is replaced, lines are appended.
    return QFileDialog::getSaveFileName(parent, QString::fromUtf8(RecordingPage::kSaveDialogCaption), current, filter,
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

void defaultWarning(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok);
}

} // namespace

RecordingPage::RecordingPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet3"));
    m_dialogs = Dialogs{defaultSaveFileName, defaultWarning};
    m_clock = [] { return QDateTime::currentDateTime(); };
    buildControls();
    connectControls();
    syncOptions();
}

// The recorder's destructor closes an open file with every buffered line written.
RecordingPage::~RecordingPage() = default;

void RecordingPage::buildControls()
{
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    GroupBoxDataAcquistion = named(new QGroupBox(this), "GroupBoxDataAcquistion");
    page->addWidget(GroupBoxDataAcquistion);
    auto* group = new QVBoxLayout(GroupBoxDataAcquistion);
    group->setContentsMargins(2, 2, 2, 2);

    JvHeader_File = named(new HeaderBar(QStringLiteral("Rejestracja pomiarów do pliku"), HeaderBar::kSmallCaption,
                                        GroupBoxDataAcquistion),
                          "JvHeader_File");
    group->addWidget(JvHeader_File);

    Checkbox_Acquistion = named(new QCheckBox(QStringLiteral("Aktywuj zapis"), GroupBoxDataAcquistion),
                                "Checkbox_Acquistion");
    group->addWidget(Checkbox_Acquistion, 0, Qt::AlignLeft);

    auto* stateRow = new QHBoxLayout;
    stateRow->addWidget(new QLabel(QStringLiteral("Wejście wyzwalające (IN2):"), GroupBoxDataAcquistion));
    Edit_IN2 = readOnlyEdit(QStringLiteral("IN2"), "Edit_IN2", GroupBoxDataAcquistion);
    Edit_IN2->setFixedWidth(50);
    stateRow->addWidget(Edit_IN2);
    stateRow->addSpacing(12);
    stateRow->addWidget(new QLabel(QStringLiteral("Czas do kolejnego zapisu:"), GroupBoxDataAcquistion));
    Label_TimeToAcqData = named(new QLabel(QStringLiteral("0 s"), GroupBoxDataAcquistion), "Label_TimeToAcqData");
    Label_TimeToAcqData->setMinimumWidth(60);
    stateRow->addWidget(Label_TimeToAcqData);
    stateRow->addSpacing(12);
    stateRow->addWidget(new QLabel(QStringLiteral("Stan zapisu:"), GroupBoxDataAcquistion));
    AcquisitionStatus = readOnlyEdit(QStringLiteral("..."), "AcquisitionStatus", GroupBoxDataAcquistion);
    AcquisitionStatus->setFont(namedFont(NamedFont::Calibri, 12));
    AcquisitionStatus->setFixedWidth(90);
    stateRow->addWidget(AcquisitionStatus);
    stateRow->addStretch(1);
    group->addLayout(stateRow);

    GroupBox14 = named(new QGroupBox(QStringLiteral("Ustawienia"), GroupBoxDataAcquistion), "GroupBox14");
    auto* settings = new QGridLayout(GroupBox14);
    Rb_AcqContinuus = named(new QRadioButton(QStringLiteral("Zapis ciągły"), GroupBox14), "Rb_AcqContinuus");
    Rb_AcqContinuus->setChecked(true);
    Rb_AcqContinuus->setToolTip(
        QStringLiteral("Zapis odbywa się ciągle z okresem \"Częstotliwość rejestracji\""));
    Rb_AcqTrigIN2 = named(new QRadioButton(QStringLiteral("Zapis pojedynczy wejściem IN2"), GroupBox14),
                          "Rb_AcqTrigIN2");
    Rb_AcqTrigIN2->setToolTip(QStringLiteral("Zapis odbywa się na zbocze narastające na wejście IN2 "));
    Rb_AcqContinuusIN2 = named(new QRadioButton(QStringLiteral("Zapis ciągły wejściem IN2"), GroupBox14),
                               "Rb_AcqContinuusIN2");
    Rb_AcqContinuusIN2->setToolTip(QStringLiteral(
        "Zapis odbywa się na stan wysoki na wejście IN2 z okresem zapisu \"Częstotliwość rejestracji\""));
    settings->addWidget(Rb_AcqContinuus, 0, 0, 1, 2);
    settings->addWidget(Rb_AcqTrigIN2, 1, 0, 1, 2);
    settings->addWidget(Rb_AcqContinuusIN2, 2, 0, 1, 2);

    Label_DataAcqSpeed = named(new QLabel(QStringLiteral("Częstotliwość rejestracji"), GroupBox14),
                               "Label_DataAcqSpeed");
    ComboBox_AcquistionTime = named(new QComboBox(GroupBox14), "ComboBox_AcquistionTime");
    for (const char* item : recording::kSpeedItems) {
        ComboBox_AcquistionTime->addItem(QString::fromLatin1(item));
    }
    ComboBox_AcquistionTime->setCurrentIndex(recording::kDefaultSpeedIndex);
    ComboBox_AcquistionTime->setToolTip(QStringLiteral(
        "Prędkosć zapisu pomiarow do pliku. Maksymalnie 100 pomiarow/sekunde, minimalnie 1/godzine."));
    settings->addWidget(Label_DataAcqSpeed, 3, 0);
    settings->addWidget(ComboBox_AcquistionTime, 3, 1);

    Label_DataAcqParam = named(new QGroupBox(QStringLiteral("Rejestruj do pliku:"), GroupBox14), "Label_DataAcqParam");
    auto* boxes = new QGridLayout(Label_DataAcqParam);
    const auto box = [this](const char* caption, const char* name) {
        return named(new QCheckBox(QString::fromUtf8(caption), Label_DataAcqParam), name);
    };
    Checkbox_SaveDate = box("Data", "Checkbox_SaveDate");
    Checkbox_SaveTime = box("Godzina", "Checkbox_SaveTime");
    Checkbox_SaveDataCnt = box("Lp.", "Checkbox_SaveDataCnt");
    Cb_SaveDataSummary = box("Suma", "Cb_SaveDataSummary");
    Cb_SaveDataSens1 = box("Czujnik 1", "Cb_SaveDataSens1");
    Cb_SaveDataSens2 = box("Czujnik 2", "Cb_SaveDataSens2");
    Cb_SaveDataSens3 = box("Czujnik 3", "Cb_SaveDataSens3");
    Cb_SaveDataSens4 = box("Czujnik 4", "Cb_SaveDataSens4");
    const std::array<QCheckBox*, 8> all{Checkbox_SaveDate, Checkbox_SaveTime, Checkbox_SaveDataCnt, Cb_SaveDataSummary,
                                        Cb_SaveDataSens1,  Cb_SaveDataSens2,  Cb_SaveDataSens3,     Cb_SaveDataSens4};
    for (std::size_t i = 0; i < all.size(); ++i) {
        boxes->addWidget(all[i], static_cast<int>(i % 4), static_cast<int>(i / 4));
    }
    settings->addWidget(Label_DataAcqParam, 0, 2, 4, 1);

    auto* fileRow = new QHBoxLayout;
    Edit_FileName = readOnlyEdit(QStringLiteral("Sciezka zapisu"), "Edit_FileName", GroupBox14);
    Button_SaveFilePath = named(new QPushButton(buttonIcon(ButtonPicture::Folder), QStringLiteral("&Scieżka zapisu"),
                                                GroupBox14),
                                "Button_SaveFilePath");
    fileRow->addWidget(Edit_FileName, 1);
    fileRow->addWidget(Button_SaveFilePath);
    settings->addLayout(fileRow, 4, 0, 1, 3);
    recordProgress = named(new QLabel(GroupBox14), "recordProgress");
    settings->addWidget(recordProgress, 5, 0, 1, 3);
    // The file name field is wide enough for a usual path; the group keeps its size and place when
    // the window grows, like every other control of the page.
    Edit_FileName->setMinimumWidth(kFileNameWidth);

    group->addWidget(GroupBox14, 0, Qt::AlignLeft);
    group->addStretch(1);
}

void RecordingPage::connectControls()
{
    connect(Checkbox_Acquistion, &QCheckBox::toggled, this, &RecordingPage::Checkbox_AcquistionClick);
    connect(Button_SaveFilePath, &QPushButton::clicked, this, &RecordingPage::save);
    // The recorder follows the controls as they change, so a frame reads no widget.
    for (QCheckBox* b : {Checkbox_SaveDate, Checkbox_SaveTime, Checkbox_SaveDataCnt, Cb_SaveDataSummary,
                         Cb_SaveDataSens1, Cb_SaveDataSens2, Cb_SaveDataSens3, Cb_SaveDataSens4}) {
        connect(b, &QCheckBox::toggled, this, &RecordingPage::syncOptions);
    }
    for (QRadioButton* b : {Rb_AcqContinuus, Rb_AcqTrigIN2, Rb_AcqContinuusIN2}) {
        connect(b, &QRadioButton::toggled, this, &RecordingPage::syncOptions);
    }
    connect(ComboBox_AcquistionTime, &QComboBox::currentIndexChanged, this, &RecordingPage::syncOptions);
    connect(Edit_FileName, &QLineEdit::textChanged, this, &RecordingPage::syncOptions);
    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &RecordingPage::flushRecording);
}

void RecordingPage::setDialogs(Dialogs dialogs)
{
    if (dialogs.saveFileName) {
        m_dialogs.saveFileName = std::move(dialogs.saveFileName);
    }
    if (dialogs.warning) {
        m_dialogs.warning = std::move(dialogs.warning);
    }
}

void RecordingPage::setDecimalsSource(std::function<int()> decimals)
{
    m_recorder.setDecimalsSource(std::move(decimals));
}

void RecordingPage::setClock(recording::Recorder::Clock clock)
{
    m_clock = clock ? clock : recording::Recorder::Clock([] { return QDateTime::currentDateTime(); });
    m_recorder.setClock(std::move(clock));
}

void RecordingPage::setNumberLocale(const display::NumberLocale& locale)
{
    m_recorder.setLocale(locale);
}

void RecordingPage::syncOptions()
{
    recording::RecordOptions options;
    options.mode = mode();
    options.speedIndex = ComboBox_AcquistionTime->currentIndex();
    options.columns = columns();
    options.fileName = Edit_FileName->text();
    m_recorder.setOptions(std::move(options));
}

void RecordingPage::RecordMeasurement(const link::Measurement& m)
{
    const recording::FrameOutcome outcome = m_recorder.RecordMeasurement(m);
    if (outcome.framesLeft) {
        const QString text = recording::timeToNextRecordText(*outcome.framesLeft, m_recorder.locale());
        if (Label_TimeToAcqData->text() != text) {
            Label_TimeToAcqData->setText(text);
        }
    }
    if (outcome.error) {
        reportFileError(*outcome.error);
    }
}

void RecordingPage::flushRecording()
{
    if (m_recorder.isRunning()) {
        if (const auto error = m_recorder.flush()) {
            reportFileError(*error);
        }
    }
    // The file of an ended run reports here once its writer is done; the switch may already
    // belong to a new run, so only the message is shown.
    if (const auto error = m_recorder.collectClosedFiles()) {
        showMessage(writeErrorText(*error));
    }
    showRecordProgress();
    if (!m_recorder.isRunning() && !m_recorder.closingFiles()) {
        m_flushTimer.stop();
    }
}

void RecordingPage::showRecordProgress()
{
    if (!m_runStart.isValid()) {
        return;
    }
    const QString text = QStringLiteral("Zapisano wierszy: %1   Rozmiar pliku: %2   Czas zapisu: %3")
                             .arg(m_recorder.runRecords())
                             .arg(recordFileSizeText(m_recorder.fileBytes(), m_recorder.locale()),
                                  recording::elapsedRunText(m_runStart.msecsTo(m_clock())));
    if (recordProgress->text() != text) {
        recordProgress->setText(text);
    }
}

void RecordingPage::Checkbox_AcquistionClick()
{
    if (Checkbox_Acquistion->isChecked()) {
        if (const auto refused = m_recorder.beginRun()) {
            reportRefusedStart(*refused);
            return;
        }
        lockRunChoices(true);
        m_runStart = m_clock();
        showRecordProgress();
        m_flushTimer.start();
        return;
    }
    lockRunChoices(false);
    showRecordProgress();
    // The figures of the ended run stay as they were when it ended.
    m_runStart = QDateTime();
    // The last lines are written and synced on the file's writer thread; the flush timer goes on
    // until the file is closed and reports its error, if any.
    m_recorder.endRunInBackground();
    if (!m_recorder.closingFiles()) {
        m_flushTimer.stop();
    }
}

void RecordingPage::lockRunChoices(bool locked)
{
    Button_SaveFilePath->setEnabled(!locked);
    for (QCheckBox* b : {Checkbox_SaveDate, Checkbox_SaveTime, Checkbox_SaveDataCnt, Cb_SaveDataSummary,
                         Cb_SaveDataSens1, Cb_SaveDataSens2, Cb_SaveDataSens3, Cb_SaveDataSens4}) {
        b->setEnabled(!locked);
    }
}

QString RecordingPage::writeErrorText(const recording::FileError& error)
{
    QString text = QStringLiteral("Rejestracja zatrzymana: błąd zapisu do pliku \"%1\": %2")
                       .arg(error.fileName, error.reason);
    if (error.linesNotWritten > 0) {
        text += QStringLiteral("; liczba niezapisanych wierszy: %1").arg(error.linesNotWritten);
    }
    return text;
}

void RecordingPage::reportFileError(const recording::FileError& error)
{
    // The recorder has already ended the run; clearing the switch shows it and frees the controls.
    Checkbox_Acquistion->setChecked(false);
    showMessage(writeErrorText(error));
}

void RecordingPage::reportRefusedStart(const recording::FileError& error)
{
    // The run never began; clearing the switch runs its handler, which finds no file to close.
    Checkbox_Acquistion->setChecked(false);
    showMessage(QStringLiteral("Rejestracja nie została rozpoczęta: plik \"%1\": %2").arg(error.fileName, error.reason));
}

void RecordingPage::showMessage(const QString& text)
{
    emit statusMessage(text);
    // The failure may surface inside the measurement dispatch: the box is shown once that returns,
    // so its event loop never runs a second dispatch inside the first.
    QMetaObject::invokeMethod(
        this, [this, text] { m_dialogs.warning(this, kMessageTitle, text); }, Qt::QueuedConnection);
}

void RecordingPage::save()
{
    const QString chosen =
        m_dialogs.saveFileName(this, Edit_FileName->text(), QString::fromLatin1(kSaveFilter));
    if (chosen.isEmpty()) {
        return;
    }
    const QString name = recording::withCsvExtension(chosen);
    Edit_FileName->setText(name);
    emit fileNameChosen(name);
}

void RecordingPage::ShowRecordingState(bool connected, QLineEdit* statusBarAcquisition)
{
    SetStateHeader(JvHeader_File, kHeaderOn, kHeaderOff, Checkbox_Acquistion->isChecked() && connected);
    const recording::RecordIndication indication = m_recorder.showTick(connected);
    const bool on = indication == recording::RecordIndication::Writing;
    const QString& offText = indication == recording::RecordIndication::Active ? kActive : kIdle;
    SetStateEdit(AcquisitionStatus, kWriting, offText, on);
    SetStateEdit(statusBarAcquisition, kWriting, offText, on);
}

bool RecordingPage::dataAcquisition() const
{
    return Checkbox_Acquistion->isChecked();
}

void RecordingPage::setDataAcquisition(bool on)
{
    Checkbox_Acquistion->setChecked(on);
}

int RecordingPage::dataAcquisitionSpeed() const
{
    return ComboBox_AcquistionTime->currentIndex();
}

void RecordingPage::setDataAcquisitionSpeed(int index)
{
    const bool inList = index >= 0 && index < ComboBox_AcquistionTime->count();
    ComboBox_AcquistionTime->setCurrentIndex(inList ? index : -1);
}

QString RecordingPage::fileName() const
{
    return Edit_FileName->text();
}

void RecordingPage::setFileName(const QString& name)
{
    Edit_FileName->setText(name);
}

recording::RecordColumns RecordingPage::columns() const
{
    recording::RecordColumns c;
    c.date = Checkbox_SaveDate->isChecked();
    c.time = Checkbox_SaveTime->isChecked();
    c.count = Checkbox_SaveDataCnt->isChecked();
    c.sum = Cb_SaveDataSummary->isChecked();
    c.sensor = {Cb_SaveDataSens1->isChecked(), Cb_SaveDataSens2->isChecked(), Cb_SaveDataSens3->isChecked(),
                Cb_SaveDataSens4->isChecked()};
    return c;
}

void RecordingPage::setColumns(const recording::RecordColumns& c)
{
    Checkbox_SaveDate->setChecked(c.date);
    Checkbox_SaveTime->setChecked(c.time);
    Checkbox_SaveDataCnt->setChecked(c.count);
    Cb_SaveDataSummary->setChecked(c.sum);
    Cb_SaveDataSens1->setChecked(c.sensor[0]);
    Cb_SaveDataSens2->setChecked(c.sensor[1]);
    Cb_SaveDataSens3->setChecked(c.sensor[2]);
    Cb_SaveDataSens4->setChecked(c.sensor[3]);
}

recording::RecordMode RecordingPage::mode() const
{
    if (Rb_AcqTrigIN2->isChecked()) {
        return recording::RecordMode::In2Edge;
    }
    if (Rb_AcqContinuusIN2->isChecked()) {
        return recording::RecordMode::In2High;
    }
    return recording::RecordMode::Continuous;
}

} // namespace qmx::ui
