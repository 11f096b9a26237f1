#include "RecordingPage.h"
#include "ui/widgets/Fonts.h"

#include "display/core/NumberFormat.h"
#include "lang/StringTable.h"
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
        return display::formatFixed(static_cast<double>(bytes) / kKilo, 15, 1, locale) + QStringLiteral(" kB");
    }
    return display::formatFixed(static_cast<double>(bytes) / (kKilo * kKilo), 15, 1, locale) + QStringLiteral(" MB");
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

RecordingPage::RecordingPage(QWidget* parent)
    : RecordingPage([](std::string_view id) { return lang::lookupText(id, lang::Language::Polish); }, parent)
{
}

RecordingPage::RecordingPage(TextBindings::Lookup lookup, QWidget* parent)
    : QWidget(parent), m_texts(std::move(lookup))
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
    auto* recordingGroup = named(new QGroupBox(this), "GroupBoxDataAcquistion");
    page->addWidget(recordingGroup);
    auto* group = new QVBoxLayout(recordingGroup);
    group->setContentsMargins(2, 2, 2, 2);

    fileHeader = named(new HeaderBar(QStringLiteral("Rejestracja pomiarów do pliku"), HeaderBar::kSmallCaption,
                                        recordingGroup),
                          "JvHeader_File");
    group->addWidget(fileHeader);

    recordingCheck = named(new QCheckBox(QStringLiteral("Aktywuj zapis"), recordingGroup),
                                "Checkbox_Acquistion");
    group->addWidget(recordingCheck, 0, Qt::AlignLeft);

    auto* stateRow = new QHBoxLayout;
    stateRow->addWidget(new QLabel(QStringLiteral("Wejście wyzwalające (IN2):"), recordingGroup));
    in2StateEdit = readOnlyEdit(QStringLiteral("IN2"), "Edit_IN2", recordingGroup);
    in2StateEdit->setFixedWidth(50);
    stateRow->addWidget(in2StateEdit);
    stateRow->addSpacing(12);
    stateRow->addWidget(new QLabel(QStringLiteral("Czas do kolejnego zapisu:"), recordingGroup));
    recordTimeLabel = named(new QLabel(QStringLiteral("0 s"), recordingGroup), "Label_TimeToAcqData");
    recordTimeLabel->setMinimumWidth(60);
    stateRow->addWidget(recordTimeLabel);
    stateRow->addSpacing(12);
    stateRow->addWidget(new QLabel(QStringLiteral("Stan zapisu:"), recordingGroup));
    recordingStatusEdit = readOnlyEdit(QStringLiteral("..."), "AcquisitionStatus", recordingGroup);
    recordingStatusEdit->setFont(namedFont(NamedFont::Calibri, 12));
    recordingStatusEdit->setFixedWidth(90);
    stateRow->addWidget(recordingStatusEdit);
    stateRow->addStretch(1);
    group->addLayout(stateRow);

    recordModeGroup = named(new QGroupBox(QStringLiteral("Ustawienia"), recordingGroup), "GroupBox14");
    auto* settings = new QGridLayout(recordModeGroup);
    continuousRadio = named(new QRadioButton(QStringLiteral("Zapis ciągły"), recordModeGroup), "Rb_AcqContinuus");
    continuousRadio->setChecked(true);
    continuousRadio->setToolTip(
        QStringLiteral("Zapis odbywa się ciągle z okresem \"Częstotliwość rejestracji\""));
    whileIn2Radio = named(new QRadioButton(QStringLiteral("Zapis pojedynczy wejściem IN2"), recordModeGroup),
                          "Rb_AcqTrigIN2");
    whileIn2Radio->setToolTip(QStringLiteral("Zapis odbywa się na zbocze narastające na wejście IN2 "));
    startOnIn2Radio = named(new QRadioButton(QStringLiteral("Zapis ciągły wejściem IN2"), recordModeGroup),
                               "Rb_AcqContinuusIN2");
    startOnIn2Radio->setToolTip(QStringLiteral(
        "Zapis odbywa się na stan wysoki na wejście IN2 z okresem zapisu \"Częstotliwość rejestracji\""));
    settings->addWidget(continuousRadio, 0, 0, 1, 2);
    settings->addWidget(whileIn2Radio, 1, 0, 1, 2);
    settings->addWidget(startOnIn2Radio, 2, 0, 1, 2);

    auto* recordIntervalLabel = named(new QLabel(QStringLiteral("Częstotliwość rejestracji"), recordModeGroup),
                               "Label_DataAcqSpeed");
    recordIntervalList = named(new QComboBox(recordModeGroup), "ComboBox_AcquistionTime");
    for (const char* item : recording::kSpeedItems) {
        recordIntervalList->addItem(QString::fromLatin1(item));
    }
    recordIntervalList->setCurrentIndex(recording::kDefaultSpeedIndex);
    recordIntervalList->setToolTip(QStringLiteral(
        "Prędkosć zapisu pomiarow do pliku. Maksymalnie 100 pomiarow/sekunde, minimalnie 1/godzine."));
    settings->addWidget(recordIntervalLabel, 3, 0);
    settings->addWidget(recordIntervalList, 3, 1);

    recordColumnsGroup = named(new QGroupBox(QStringLiteral("Rejestruj do pliku:"), recordModeGroup), "Label_DataAcqParam");
    auto* boxes = new QGridLayout(recordColumnsGroup);
    const auto box = [this](const char* caption, const char* name) {
        return named(new QCheckBox(QString::fromUtf8(caption), recordColumnsGroup), name);
    };
    saveDateCheck = box("Data", "Checkbox_SaveDate");
    saveTimeCheck = box("Godzina", "Checkbox_SaveTime");
    saveCounterCheck = box("Lp.", "Checkbox_SaveDataCnt");
    saveSumCheck = box("Suma", "Cb_SaveDataSummary");
    saveSensor1Check = box("Czujnik 1", "Cb_SaveDataSens1");
    saveSensor2Check = box("Czujnik 2", "Cb_SaveDataSens2");
    saveSensor3Check = box("Czujnik 3", "Cb_SaveDataSens3");
    saveSensor4Check = box("Czujnik 4", "Cb_SaveDataSens4");
    const std::array<QCheckBox*, 8> all{saveDateCheck, saveTimeCheck, saveCounterCheck, saveSumCheck,
                                        saveSensor1Check,  saveSensor2Check,  saveSensor3Check,     saveSensor4Check};
    for (std::size_t i = 0; i < all.size(); ++i) {
        boxes->addWidget(all[i], static_cast<int>(i % 4), static_cast<int>(i / 4));
    }
    settings->addWidget(recordColumnsGroup, 0, 2, 4, 1);

    auto* fileRow = new QHBoxLayout;
    fileNameEdit = readOnlyEdit(QStringLiteral("Sciezka zapisu"), "Edit_FileName", recordModeGroup);
    chooseFileButton = named(new QPushButton(buttonIcon(ButtonPicture::Folder), QStringLiteral("&Scieżka zapisu"),
                                                recordModeGroup),
                                "Button_SaveFilePath");
    fileRow->addWidget(fileNameEdit, 1);
    fileRow->addWidget(chooseFileButton);
    settings->addLayout(fileRow, 4, 0, 1, 3);
    recordProgress = named(new QLabel(recordModeGroup), "recordProgress");
    settings->addWidget(recordProgress, 5, 0, 1, 3);
    // The file name field is wide enough for a usual path; the group keeps its size and place when
    // the window grows, like every other control of the page.
    fileNameEdit->setMinimumWidth(kFileNameWidth);

    group->addWidget(recordModeGroup, 0, Qt::AlignLeft);
    group->addStretch(1);
}

void RecordingPage::connectControls()
{
    connect(recordingCheck, &QCheckBox::toggled, this, &RecordingPage::recordingToggled);
    connect(chooseFileButton, &QPushButton::clicked, this, &RecordingPage::save);
    // The recorder follows the controls as they change, so a frame reads no widget.
    for (QCheckBox* b : {saveDateCheck, saveTimeCheck, saveCounterCheck, saveSumCheck,
                         saveSensor1Check, saveSensor2Check, saveSensor3Check, saveSensor4Check}) {
        connect(b, &QCheckBox::toggled, this, &RecordingPage::syncOptions);
    }
    for (QRadioButton* b : {continuousRadio, whileIn2Radio, startOnIn2Radio}) {
        connect(b, &QRadioButton::toggled, this, &RecordingPage::syncOptions);
    }
    connect(recordIntervalList, &QComboBox::currentIndexChanged, this, &RecordingPage::syncOptions);
    connect(fileNameEdit, &QLineEdit::textChanged, this, &RecordingPage::syncOptions);
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
    options.speedIndex = recordIntervalList->currentIndex();
    options.columns = columns();
    options.fileName = fileNameEdit->text();
    m_recorder.setOptions(std::move(options));
}

void RecordingPage::recordMeasurement(const link::Measurement& m)
{
    const recording::FrameOutcome outcome = m_recorder.recordMeasurement(m);
    if (outcome.framesLeft) {
        const QString text = recording::timeToNextRecordText(*outcome.framesLeft, m_recorder.locale());
        if (recordTimeLabel->text() != text) {
            recordTimeLabel->setText(text);
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

void RecordingPage::recordingToggled()
{
    if (recordingCheck->isChecked()) {
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
    chooseFileButton->setEnabled(!locked);
    for (QCheckBox* b : {saveDateCheck, saveTimeCheck, saveCounterCheck, saveSumCheck,
                         saveSensor1Check, saveSensor2Check, saveSensor3Check, saveSensor4Check}) {
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
    recordingCheck->setChecked(false);
    showMessage(writeErrorText(error));
}

void RecordingPage::reportRefusedStart(const recording::FileError& error)
{
    // The run never began; clearing the switch runs its handler, which finds no file to close.
    recordingCheck->setChecked(false);
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
        m_dialogs.saveFileName(this, fileNameEdit->text(), QString::fromLatin1(kSaveFilter));
    if (chosen.isEmpty()) {
        return;
    }
    const QString name = recording::withCsvExtension(chosen);
    fileNameEdit->setText(name);
    emit fileNameChosen(name);
}

void RecordingPage::showRecordingState(bool connected, QLineEdit* statusBarAcquisition)
{
    setStateHeader(fileHeader, kHeaderOn, kHeaderOff, recordingCheck->isChecked() && connected);
    const recording::RecordIndication indication = m_recorder.showTick(connected);
    const bool on = indication == recording::RecordIndication::Writing;
    const QString& offText = indication == recording::RecordIndication::Active ? kActive : kIdle;
    setStateEdit(recordingStatusEdit, kWriting, offText, on);
    setStateEdit(statusBarAcquisition, kWriting, offText, on);
}

bool RecordingPage::dataAcquisition() const
{
    return recordingCheck->isChecked();
}

void RecordingPage::setDataAcquisition(bool on)
{
    recordingCheck->setChecked(on);
}

int RecordingPage::dataAcquisitionSpeed() const
{
    return recordIntervalList->currentIndex();
}

void RecordingPage::setDataAcquisitionSpeed(int index)
{
    const bool inList = index >= 0 && index < recordIntervalList->count();
    recordIntervalList->setCurrentIndex(inList ? index : -1);
}

QString RecordingPage::fileName() const
{
    return fileNameEdit->text();
}

void RecordingPage::setFileName(const QString& name)
{
    fileNameEdit->setText(name);
}

recording::RecordColumns RecordingPage::columns() const
{
    recording::RecordColumns c;
    c.date = saveDateCheck->isChecked();
    c.time = saveTimeCheck->isChecked();
    c.count = saveCounterCheck->isChecked();
    c.sum = saveSumCheck->isChecked();
    c.sensor = {saveSensor1Check->isChecked(), saveSensor2Check->isChecked(), saveSensor3Check->isChecked(),
                saveSensor4Check->isChecked()};
    return c;
}

void RecordingPage::setColumns(const recording::RecordColumns& c)
{
    saveDateCheck->setChecked(c.date);
    saveTimeCheck->setChecked(c.time);
    saveCounterCheck->setChecked(c.count);
    saveSumCheck->setChecked(c.sum);
    saveSensor1Check->setChecked(c.sensor[0]);
    saveSensor2Check->setChecked(c.sensor[1]);
    saveSensor3Check->setChecked(c.sensor[2]);
    saveSensor4Check->setChecked(c.sensor[3]);
}

recording::RecordMode RecordingPage::mode() const
{
    if (whileIn2Radio->isChecked()) {
        return recording::RecordMode::In2Edge;
    }
    if (startOnIn2Radio->isChecked()) {
        return recording::RecordMode::In2High;
    }
    return recording::RecordMode::Continuous;
}

void RecordingPage::retranslate()
{
    m_texts.apply();
}

} // namespace qmx::ui
