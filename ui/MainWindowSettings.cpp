// The main window's files: its preferences (read at creation, written at closing), the recording
// file name kept among them, and the device settings files of the "Konfiguracja" menu.

#include "MainWindow.h"

#include "settings/preferences/AppSettings.h"
#include "pages/ChartPage.h"
#include "pages/CommunicationPage.h"
#include "pages/OutputsPage.h"
#include "pages/RecordingPage.h"
#include "pages/SensorSettingsPage.h"
#include "pages/SettingsPage.h"
#include "windows/LargeReadoutWindow.h"
#include "settings/devicefile/DeviceSettingsFile.h"
#include "settings/profile/ProfileFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace qmx::ui {

namespace {

const QString kConfigFilter = QStringLiteral("QMX80NET configuration (*.conf *.ini)");

/// How many key names a status line lists before it stops with an ellipsis.
constexpr int kListedKeys = 3;

QString firstKeys(const QStringList& keys)
{
    QString text = keys.mid(0, kListedKeys).join(QStringLiteral(", "));
    if (keys.size() > kListedKeys) {
        text += QStringLiteral(", …");
    }
    return text;
}

/// The status line after a load that found some keys missing or unreadable (their defaults were
/// taken), in the language `text` looks up; empty when the file held every value.
QString incompleteLoadText(const QString& path, const QStringList& missingKeys, const QStringList& unreadableKeys,
                           const TextBindings::Lookup& text)
{
    QStringList parts;
    if (!missingKeys.isEmpty()) {
        const auto count = missingKeys.size();
        parts << text(count == 1 ? "IDS_SettingsFileKeyMissing" : "IDS_SettingsFileKeysMissing")
                     .arg(count)
                     .arg(firstKeys(missingKeys));
    }
    if (!unreadableKeys.isEmpty()) {
        QStringList names;
        for (const QString& entry : unreadableKeys) {
            names << entry.section(u':', 0, 0);
        }
        parts << text("IDS_SettingsFileKeysUnreadable").arg(firstKeys(names));
    }
    if (parts.isEmpty()) {
        return {};
    }
    return text("IDS_SettingsFileDefaultsTaken").arg(QFileInfo(path).fileName(), parts.join(QStringLiteral("; ")));
}

/// Selects a list position from a file without running the list's change reaction.
void selectQuietly(QComboBox* list, int index)
{
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void setTextQuietly(QLineEdit* edit, const QString& text)
{
    const QSignalBlocker quiet(edit);
    edit->setText(text);
}

/// The recording file the page opens with: the stored name as an absolute path (a relative name
/// was always taken from the working folder, so that is where it stays), or the default file in
/// the user's documents folder when none is stored.
QString recordingFileName(const QString& stored, bool isStored)
{
    if (isStored) {
        return QDir::toNativeSeparators(QFileInfo(stored).absoluteFilePath());
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // The folder may not exist yet on a fresh account; the recorder creates files, not folders.
    if (!documents.isEmpty()) {
        QDir().mkpath(documents);
    }
    return QDir::toNativeSeparators(settings::defaultRecordingFileName(documents));
}

/// A window's place and size as stored: frame position and client size. While it is maximised or
/// full screen they are those it returns to: its normal geometry (the client area) with the frame
/// position worked out from `normalFrameOffset`, the client area's offset from the frame's corner
/// in the normal state (the frame of a maximised window may differ).
QRect storedGeometry(const QWidget* window, QPoint normalFrameOffset)
{
    if (window->isMaximized() || window->isFullScreen()) {
        const QRect normal = window->normalGeometry();
        return {normal.topLeft() - normalFrameOffset, normal.size()};
    }
    return {window->pos(), window->size()};
}

/// The same for a window whose normal frame is not followed: the frame it has now is taken.
QRect storedGeometry(const QWidget* window)
{
    return storedGeometry(window, window->geometry().topLeft() - window->pos());
}

/// Puts a window where it was stored, brought onto a screen when that place lies off every screen.
void placeWindow(QWidget* window, const QRect& stored)
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens << screen->availableGeometry();
    }
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect placed = settings::keptOnScreen(stored, screens, primary != nullptr ? primary->availableGeometry() : QRect());
    window->resize(placed.size());
    window->move(placed.topLeft());
}

} // namespace

void MainWindow::setConfigFileDialogs(FileDialog save, FileDialog open)
{
    m_saveConfigDialog = std::move(save);
    m_openConfigDialog = std::move(open);
}

// ---------------------------------------------------------------- recording page

void MainWindow::connectRecordingPage()
{
    recordingPage->setDecimalsSource([this] { return Decp(); });
    recordingPage->setNumberLocale(m_numberLocale);
    m_link->setMeasurementObserver([this](const link::Measurement& m) { recordingPage->recordMeasurement(m); });
    connect(recordingPage, &RecordingPage::statusMessage, statusLabel, &QLabel::setText);
    connect(recordingPage, &RecordingPage::fileNameChosen, this, &MainWindow::writeRecordingFileName);
}

void MainWindow::writeRecordingFileName(const QString& fileName)
{
    if (m_settingsPath.isEmpty()) {
        return;
    }
    settings::ProfileFile file(m_settingsPath);
    if (const auto error = file.write(settings::kOptionsSection, QStringLiteral("FileName"), fileName)) {
        m_errorBox(error->message());
    }
}

// ---------------------------------------------------------------- preferences

void MainWindow::loadPreferences()
{
    settings::AppSettings s;
    bool fileNameStored = false;
    QString storedLanguage;
    if (!m_settingsPath.isEmpty()) {
        const settings::ProfileRead file = settings::readProfile(m_settingsPath);
        // Said once, when the window runs.
        QString message;
        if (file.failure) {
            // The file is kept as it is, so closing leaves it alone.
            m_preferencesFileUnusable = true;
            message = file.failure->message() +
                      QStringLiteral("; the preferences take their defaults and the file is left as it is");
        } else if (const auto passedOver =
                       settings::unreadableFileBesideExecutable(QCoreApplication::applicationDirPath(), m_settingsPath)) {
            message = passedOver->message() + QStringLiteral("; the preferences are kept in %1")
                                                  .arg(QDir::toNativeSeparators(m_settingsPath));
        }
        if (!message.isEmpty()) {
            QTimer::singleShot(0, this, [this, message] { m_errorBox(message); });
        }
        s = settings::readAppSettings([&](const QString& key) { return file.document.value(settings::kOptionsSection, key); },
                                      m_numberLocale);
        const auto storedFileName = file.document.value(settings::kOptionsSection, QStringLiteral("FileName"));
        fileNameStored = storedFileName && !storedFileName->trimmed().isEmpty();
        storedLanguage = file.document.value(settings::kOptionsSection, QStringLiteral("Language")).value_or(QString());
    }

    RecordingPage& rec = *recordingPage;
    rec.setFileName(recordingFileName(s.FileName, fileNameStored));
    rec.setColumns({s.SaveDate, s.SaveTime, s.SaveDataCnt, s.SaveDataSummary,
                    {s.SaveDataSens1, s.SaveDataSens2, s.SaveDataSens3, s.SaveDataSens4}});
    rec.setDataAcquisitionSpeed(s.DataAcquistionSpeed);
    for (int i = 0; i < 5; ++i) {
        chartPage->setSeriesActive(i, s.ChartSeries[static_cast<std::size_t>(i)]);
    }
    chartPage->applyTimeWindowIndex(s.TimeSize);
    chartPage->applySamplingIndex(s.Sampling);
    // A stored "1" begins a recording run, as a click on the box would.
    rec.setDataAcquisition(s.Checkbox_DataAcquistion);

    chartPage->setThresholds(s.TrigStartVal, s.TrigStopVal);
    settingsPage->decimalsList->setCurrentIndex(s.DecimalPoint >= 0 && s.DecimalPoint < settingsPage->decimalsList->count() ? s.DecimalPoint
                                                                                                           : -1);

    if (s.Language == 0 || s.Language == 1) {
        languageList->setCurrentIndex(s.Language);
        applySelectedLanguage();
    } else {
        // A damaged value: the error, naming the setting and the file, is shown once, the
        // interface stays Polish, and Polish is what is stored at closing, so the error does not
        // come back at every start.
        m_errorBox(QStringLiteral("Language=%1 in %2 is not a known language; Polish is used")
                       .arg(storedLanguage.trimmed(), QDir::toNativeSeparators(m_settingsPath)));
        languageList->setCurrentIndex(0);
        applySelectedLanguage();
    }

    // Where the windows were and the page that was shown when the program last ended.
    if (s.WindowWidth > 0 && s.WindowHeight > 0) {
        placeWindow(this, QRect(s.WindowLeft, s.WindowTop, s.WindowWidth, s.WindowHeight));
    }
    if (s.LastTab >= 0 && s.LastTab < pageTabs->count()) {
        pageTabs->setCurrentIndex(s.LastTab);
    }
    if (s.BigWindowWidth > 0 && s.BigWindowHeight > 0) {
        m_storedBigWindowGeometry = QRect(s.BigWindowLeft, s.BigWindowTop, s.BigWindowWidth, s.BigWindowHeight);
    }
    // Maximised over the place set above (already brought onto a screen), which it returns to
    // when it is restored. That place is kept as the client area; the frame offset it was taken
    // with gives the same frame position back at closing.
    if (s.WindowMaximized) {
        m_normalFrameOffset = geometry().topLeft() - pos();
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void MainWindow::restoreBigWindowGeometry()
{
    if (m_windows.bigDisplay != nullptr && m_storedBigWindowGeometry.isValid()) {
        placeWindow(m_windows.bigDisplay, m_storedBigWindowGeometry);
    }
}

bool MainWindow::savePreferences()
{
    if (m_settingsPath.isEmpty() || m_preferencesFileUnusable) {
        return true;
    }
    settings::AppSettings s;
    const RecordingPage& rec = *recordingPage;
    s.Checkbox_DataAcquistion = rec.dataAcquisition();
    s.DataAcquistionSpeed = rec.dataAcquisitionSpeed();
    const recording::RecordColumns columns = rec.columns();
    s.SaveDate = columns.date;
    s.SaveTime = columns.time;
    s.SaveDataCnt = columns.count;
    s.SaveDataSummary = columns.sum;
    s.SaveDataSens1 = columns.sensor[0];
    s.SaveDataSens2 = columns.sensor[1];
    s.SaveDataSens3 = columns.sensor[2];
    s.SaveDataSens4 = columns.sensor[3];
    for (int i = 0; i < 5; ++i) {
        s.ChartSeries[static_cast<std::size_t>(i)] = chartPage->seriesActive(i);
    }
    s.TimeSize = chartPage->timeWindowIndex();
    s.Sampling = chartPage->samplingIndex();
    s.TrigStartVal = chartPage->trigStartVal();
    s.TrigStopVal = chartPage->trigStopVal();
    s.DecimalPoint = settingsPage->decimalsList->currentIndex();
    s.Language = languageList->currentIndex();
    const QRect window = storedGeometry(this, m_normalFrameOffset);
    s.WindowMaximized = isMaximized();
    s.WindowLeft = window.left();
    s.WindowTop = window.top();
    s.WindowWidth = window.width();
    s.WindowHeight = window.height();
    s.LastTab = pageTabs->currentIndex();
    const QRect big =
        m_windows.bigDisplay != nullptr ? storedGeometry(m_windows.bigDisplay) : m_storedBigWindowGeometry;
    s.BigWindowLeft = big.left();
    s.BigWindowTop = big.top();
    s.BigWindowWidth = std::max(0, big.width());
    s.BigWindowHeight = std::max(0, big.height());

    std::vector<settings::ProfileEntry> entries;
    for (const auto& [key, text] : settings::appSettingsEntries(s, m_numberLocale)) {
        entries.push_back({settings::kOptionsSection, key, text});
    }
    // A preferences file that cannot be written must not keep the program from ending: the error
    // is shown once and the window closes.
    if (const auto error = settings::writeEntries(m_settingsPath, entries)) {
        if (!m_preferencesSaveErrorShown) {
            m_preferencesSaveErrorShown = true;
            m_errorBox(error->message());
        }
    }
    return true;
}

// ---------------------------------------------------------------- device settings files

void MainWindow::loadSettingsFile()
{
    const QString path = m_openConfigDialog
                             ? m_openConfigDialog(m_lastOpenConfigFile)
                             : QFileDialog::getOpenFileName(this, lookupText("IDS_MenuLoadSettingsFile"),
                                                            m_lastOpenConfigFile, kConfigFilter);
    if (path.isEmpty()) {
        return;
    }
    m_lastOpenConfigFile = path;
    loadDeviceSettingsFile(path);
}

void MainWindow::saveSettingsFile()
{
    const QString path = m_saveConfigDialog
                             ? m_saveConfigDialog(m_lastSaveConfigFile)
                             : QFileDialog::getSaveFileName(this, lookupText("IDS_MenuSaveSettingsFile"),
                                                            m_lastSaveConfigFile, kConfigFilter, nullptr,
                                                            QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) {
        return;
    }
    m_lastSaveConfigFile = path;
    saveDeviceSettingsFile(path);
}

bool MainWindow::saveDeviceSettingsFile(const QString& path)
{
    const SensorSettingsPage& sensors = *settingsPage->sensorPage;
    const CommunicationPage& comm = *settingsPage->communicationPage;
    const OutputsPage& outputs = *settingsPage->outputsPage;

    settings::DeviceSettingsValues v;
    v.SelTens = sensors.sumSelectionList->currentIndex();
    v.SumOffset = sensors.sumOffsetEdit->text();
    v.Rate = sensors.adRateList->currentIndex();
    v.Filter = sensors.filterLevelList->currentIndex();
    v.StabMaxDiff = sensors.stabilityMaxDifferenceEdit->text();
    v.StabSamplesNo = sensors.stabilitySamplesEdit->text();
    v.Units = sensors.unitsList->currentIndex();
    v.Decp = sensors.decimalsList->currentIndex();
    for (std::size_t i = 0; i < 4; ++i) {
        v.Tens[i] = {sensors.sensors[i].range->text(), sensors.sensors[i].sens->text(),
                     sensors.sensors[i].sign->isChecked()};
    }
    v.Baudrate = comm.modbusBaudList->currentIndex();
    v.Parity = comm.modbusParityList->currentIndex();
    v.Address = comm.modbusAddressList->currentIndex();
    v.IP = comm.ipAddressEdit->text();
    v.Mask = comm.ipMaskEdit->text();
    v.Gate = comm.ipGatewayEdit->text();
    v.Out1Stab = outputs.stabilityIndicatorCheck->isChecked();
    v.Out2Overload = outputs.overloadIndicatorCheck->isChecked();
    for (auto [values, row] : {std::pair{&v.Out1, &outputs.out1}, std::pair{&v.Out2, &outputs.out2}}) {
        *values = {row->source->currentIndex(), row->mode1->currentIndex(), row->number1->text(),
                   row->condition->currentIndex(), row->mode2->currentIndex(), row->number2->text(),
                   row->state->currentIndex()};
    }

    // The whole file is replaced at once: a refused write leaves it as it was.
    if (const auto error = settings::writeEntries(path, settings::deviceSettingsEntries(v))) {
        m_errorBox(error->message());
        return false;
    }
    return true;
}

void MainWindow::loadDeviceSettingsFile(const QString& path)
{
    // A file that is not a settings file would fill every page with defaults, which a later write
    // would send to the transducer: it is refused, naming the file.
    const settings::ProfileRead file = settings::readProfile(path);
    if (file.failure) {
        m_errorBox(file.failure->message());
        return;
    }
    const QString fullName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (!file.exists) {
        m_errorBox(QStringLiteral("Unable to read %1: %2").arg(fullName, QStringLiteral("No such file or directory")));
        return;
    }
    const settings::DeviceSettingsRead read = settings::readDeviceSettingsReport(file.document);
    if (read.sectionsFound == 0) {
        m_errorBox(QStringLiteral("Unable to read %1: the file holds none of the sections of a settings file")
                       .arg(fullName));
        return;
    }
    const settings::DeviceSettingsValues& v = read.values;

    SensorSettingsPage& sensors = *settingsPage->sensorPage;
    CommunicationPage& comm = *settingsPage->communicationPage;
    OutputsPage& outputs = *settingsPage->outputsPage;

    // The lists and edits are set without their change reactions: the derived labels keep their
    // values until the user changes a field or the settings are read from the transducer.
    selectQuietly(sensors.sumSelectionList, v.SelTens);
    setTextQuietly(sensors.sumOffsetEdit, v.SumOffset);
    selectQuietly(sensors.adRateList, v.Rate);
    selectQuietly(sensors.filterLevelList, v.Filter);
    setTextQuietly(sensors.stabilityMaxDifferenceEdit, v.StabMaxDiff);
    setTextQuietly(sensors.stabilitySamplesEdit, v.StabSamplesNo);
    selectQuietly(sensors.unitsList, v.Units);
    selectQuietly(sensors.decimalsList, v.Decp);
    for (std::size_t i = 0; i < 4; ++i) {
        setTextQuietly(sensors.sensors[i].range, v.Tens[i].Range);
        setTextQuietly(sensors.sensors[i].sens, v.Tens[i].Sens);
        sensors.sensors[i].sign->setChecked(v.Tens[i].Sign);
    }
    selectQuietly(comm.modbusBaudList, v.Baudrate);
    selectQuietly(comm.modbusParityList, v.Parity);
    selectQuietly(comm.modbusAddressList, v.Address);
    setTextQuietly(comm.ipAddressEdit, v.IP);
    setTextQuietly(comm.ipMaskEdit, v.Mask);
    setTextQuietly(comm.ipGatewayEdit, v.Gate);
    // The indicator boxes do run their reaction: it enables or disables their output row.
    outputs.stabilityIndicatorCheck->setChecked(v.Out1Stab);
    outputs.overloadIndicatorCheck->setChecked(v.Out2Overload);
    for (auto [values, row] : {std::pair{&v.Out1, &outputs.out1}, std::pair{&v.Out2, &outputs.out2}}) {
        selectQuietly(row->source, values->Source);
        selectQuietly(row->mode1, values->mode1);
        setTextQuietly(row->number1, values->number1);
        selectQuietly(row->condition, values->condition);
        selectQuietly(row->mode2, values->mode2);
        setTextQuietly(row->number2, values->number2);
        selectQuietly(row->state, values->state);
    }
    settingsPage->clearMarksOfValidFields();
    const auto remakeIncomplete = [this, path, missing = read.missingKeys, unreadable = read.unreadableKeys] {
        return incompleteLoadText(path, missing, unreadable, [this](std::string_view id) { return lookupText(id); });
    };
    if (const QString incomplete = remakeIncomplete(); !incomplete.isEmpty()) {
        showStatusLine(incomplete, remakeIncomplete);
    }
}

} // namespace qmx::ui
