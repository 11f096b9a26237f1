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

// The indicators' texts in the interface language; the idle state shows no word.
constexpr std::string_view kHeaderOnId = "IDS_RecordingHeaderOn";
constexpr std::string_view kHeaderOffId = "IDS_RecordingHeaderOff";
constexpr std::string_view kWritingId = "IDS_RecordingStateWriting";
constexpr std::string_view kActiveId = "IDS_101";
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
    m_dialogs = Dialogs{[this](QWidget* parent, const QString& current, const QString& filter) {
                            // No question about replacing an existing file: nothing is replaced,
                            // lines are appended; the caption says so.
                            return QFileDialog::getSaveFileName(parent, m_texts.text("IDS_RecordingSaveDialogCaption"),
                                                                current, filter, nullptr,
                                                                QFileDialog::DontConfirmOverwrite);
                        },
                        defaultWarning};
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
    const auto label = [this](std::string_view id, QWidget* parent) {
        auto* caption = new QLabel(parent);
        m_texts.bind(caption, &QLabel::setText, id);
        return caption;
    };
    page->setContentsMargins(0, 0, 0, 0);
    auto* recordingGroup = named(new QGroupBox(this), "GroupBoxDataAcquistion");
    page->addWidget(recordingGroup);
    auto* group = new QVBoxLayout(recordingGroup);
    group->setContentsMargins(2, 2, 2, 2);

    fileHeader = named(new HeaderBar(QString(), HeaderBar::kSmallCaption, recordingGroup), "JvHeader_File");
    // The page's caption until the display first shows the recording state there.
    m_texts.bindCustom([this](const TextBindings::Lookup& text) {
        fileHeader->setCaption(m_headerShownOn ? text(*m_headerShownOn ? kHeaderOnId : kHeaderOffId)
                                               : text("IDS_RecordingHeader"));
    });
    group->addWidget(fileHeader);

    recordingCheck = named(new QCheckBox(recordingGroup), "Checkbox_Acquistion");
    m_texts.bind(recordingCheck, &QAbstractButton::setText, "IDS_RecordingSwitch");
    group->addWidget(recordingCheck, 0, Qt::AlignLeft);

    auto* stateRow = new QHBoxLayout;
    stateRow->addWidget(label("IDS_RecordingTriggerInputLabel", recordingGroup));
    in2StateEdit = readOnlyEdit(QStringLiteral("IN2"), "Edit_IN2", recordingGroup);
    in2StateEdit->setFixedWidth(50);
    stateRow->addWidget(in2StateEdit);
    stateRow->addSpacing(12);
    stateRow->addWidget(label("IDS_RecordingTimeToNextLabel", recordingGroup));
    recordTimeLabel = named(new QLabel(QStringLiteral("0 s"), recordingGroup), "Label_TimeToAcqData");
    recordTimeLabel->setMinimumWidth(60);
    stateRow->addWidget(recordTimeLabel);
    stateRow->addSpacing(12);
    stateRow->addWidget(label("IDS_RecordingStateLabel", recordingGroup));
    recordingStatusEdit = readOnlyEdit(QStringLiteral("..."), "AcquisitionStatus", recordingGroup);
    recordingStatusEdit->setFont(namedFont(NamedFont::Calibri, 12));
    recordingStatusEdit->setFixedWidth(90);
    stateRow->addWidget(recordingStatusEdit);
    stateRow->addStretch(1);
    group->addLayout(stateRow);

    recordModeGroup = named(new QGroupBox(recordingGroup), "GroupBox14");
    m_texts.bind(recordModeGroup, &QGroupBox::setTitle, "IDS_RecordingSettingsGroup");
    auto* settings = new QGridLayout(recordModeGroup);
    const auto radio = [this](std::string_view captionId, std::string_view tipId, const char* name) {
        auto* button = named(new QRadioButton(recordModeGroup), name);
        m_texts.bind(button, &QAbstractButton::setText, captionId);
        m_texts.bind(static_cast<QWidget*>(button), &QWidget::setToolTip, tipId);
        return button;
    };
    continuousRadio = radio("IDS_RecordingContinuous", "IDS_RecordingContinuousTip", "Rb_AcqContinuus");
    continuousRadio->setChecked(true);
    whileIn2Radio = radio("IDS_RecordingSingleOnIn2", "IDS_RecordingSingleOnIn2Tip", "Rb_AcqTrigIN2");
    startOnIn2Radio = radio("IDS_RecordingContinuousOnIn2", "IDS_RecordingContinuousOnIn2Tip", "Rb_AcqContinuusIN2");
    settings->addWidget(continuousRadio, 0, 0, 1, 2);
    settings->addWidget(whileIn2Radio, 1, 0, 1, 2);
    settings->addWidget(startOnIn2Radio, 2, 0, 1, 2);

    auto* recordIntervalLabel = named(label("IDS_RecordingRateLabel", recordModeGroup), "Label_DataAcqSpeed");
    recordIntervalList = named(new QComboBox(recordModeGroup), "ComboBox_AcquistionTime");
    for (const char* item : recording::kSpeedItems) {
        recordIntervalList->addItem(QString::fromLatin1(item));
    }
    recordIntervalList->setCurrentIndex(recording::kDefaultSpeedIndex);
    m_texts.bind(static_cast<QWidget*>(recordIntervalList), &QWidget::setToolTip, "IDS_RecordingRateTip");
    settings->addWidget(recordIntervalLabel, 3, 0);
    settings->addWidget(recordIntervalList, 3, 1);

    recordColumnsGroup = named(new QGroupBox(recordModeGroup), "Label_DataAcqParam");
    m_texts.bind(recordColumnsGroup, &QGroupBox::setTitle, "IDS_RecordingColumnsGroup");
    auto* boxes = new QGridLayout(recordColumnsGroup);
    const auto box = [this](std::string_view captionId, const char* name) {
        auto* check = named(new QCheckBox(recordColumnsGroup), name);
        m_texts.bind(check, &QAbstractButton::setText, captionId);
        return check;
    };
    saveDateCheck = box("IDS_RecordingColumnDate", "Checkbox_SaveDate");
    saveTimeCheck = box("IDS_RecordingColumnTime", "Checkbox_SaveTime");
    saveCounterCheck = box("IDS_RecordingColumnCounter", "Checkbox_SaveDataCnt");
    saveSumCheck = box("IDS_Sum", "Cb_SaveDataSummary");
    saveSensor1Check = box("IDS_Sensor1", "Cb_SaveDataSens1");
    saveSensor2Check = box("IDS_Sensor2", "Cb_SaveDataSens2");
    saveSensor3Check = box("IDS_Sensor3", "Cb_SaveDataSens3");
    saveSensor4Check = box("IDS_Sensor4", "Cb_SaveDataSens4");
    const std::array<QCheckBox*, 8> all{saveDateCheck, saveTimeCheck, saveCounterCheck, saveSumCheck,
                                        saveSensor1Check,  saveSensor2Check,  saveSensor3Check,     saveSensor4Check};
    for (std::size_t i = 0; i < all.size(); ++i) {
        boxes->addWidget(all[i], static_cast<int>(i % 4), static_cast<int>(i / 4));
    }
    settings->addWidget(recordColumnsGroup, 0, 2, 4, 1);

    auto* fileRow = new QHBoxLayout;
    fileNameEdit = readOnlyEdit(QStringLiteral("Sciezka zapisu"), "Edit_FileName", recordModeGroup);
    chooseFileButton = named(new QPushButton(buttonIcon(ButtonPicture::Folder), QString(), recordModeGroup),
                             "Button_SaveFilePath");
    m_texts.bind(chooseFileButton, &QAbstractButton::setText, "IDS_RecordingChooseFileButton");
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
    m_progressShown = RecordProgress{m_recorder.runRecords(), m_recorder.fileBytes(), m_runStart.msecsTo(m_clock())};
    writeRecordProgress();
}

void RecordingPage::writeRecordProgress()
{
    if (!m_progressShown) {
        return;
    }
    const QString text = m_texts.text("IDS_RecordingProgress")
                             .arg(m_progressShown->records)
                             .arg(recordFileSizeText(m_progressShown->fileBytes, m_recorder.locale()),
                                  recording::elapsedRunText(m_progressShown->elapsedMs));
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

QString RecordingPage::writeErrorText(const recording::FileError& error) const
{
    QString text = m_texts.text("IDS_RecordingWriteError").arg(error.fileName, error.reason);
    if (error.linesNotWritten > 0) {
        text += m_texts.text("IDS_RecordingLinesNotWritten").arg(error.linesNotWritten);
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
    showMessage(m_texts.text("IDS_RecordingRefused").arg(error.fileName, error.reason));
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
    m_headerShownOn = recordingCheck->isChecked() && connected;
    setStateHeader(fileHeader, m_texts.text(kHeaderOnId), m_texts.text(kHeaderOffId), *m_headerShownOn);
    m_indicationShown = m_recorder.showTick(connected);
    showIndication(recordingStatusEdit);
    showIndication(statusBarAcquisition);
}

void RecordingPage::showIndication(QLineEdit* edit) const
{
    if (!m_indicationShown) {
        return;
    }
    const bool on = *m_indicationShown == recording::RecordIndication::Writing;
    const QString offText = *m_indicationShown == recording::RecordIndication::Active ? m_texts.text(kActiveId) : kIdle;
    setStateEdit(edit, m_texts.text(kWritingId), offText, on);
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
    // The states and figures shown are shown again in the new language; the status strip's field
    // is the window's and follows at the next display tick.
    showIndication(recordingStatusEdit);
    writeRecordProgress();
}

} // namespace qmx::ui
