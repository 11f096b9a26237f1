// Takes the pictures of the user's manual: the real main window and its secondary windows,
// connected to the virtual transducer, drawn offscreen and saved as PNG files.
//
//   qmx_manual_shots OUTPUT_FOLDER
//
// Every picture the manual shows is listed in kShots below; the packer refuses a manual that
// refers to a picture that is not there, so a name changed on one side only fails the build.

#include "ui/MainWindow.h"
#include "ui/pages/ChartPage.h"
#include "ui/pages/MeasurementPage.h"
#include "ui/pages/RecordingPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/AnalogCalibrationWindow.h"
#include "ui/windows/LargeReadoutWindow.h"
#include "ui/windows/TFormCalib.h"

#include "display/LiveDisplay.h"
#include "sim/SimBackend.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QThread>

#include <cstdio>
#include <functional>
#include <iterator>

namespace {

using namespace std::chrono_literals;

constexpr auto kConnectTimeout = 15s;
// How long the chart runs before its picture is taken: enough for a few bends of the curves.
constexpr auto kChartRunTime = 2500ms;
// How long the readouts settle after the connection, so that every field has been refreshed.
constexpr auto kSettleTime = 400ms;

/// Runs the event loop for `time`.
void runFor(std::chrono::milliseconds time)
{
    const QDeadlineTimer deadline(time);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

/// Runs the event loop until `done` holds; false when `timeout` passes first.
bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

class ShotWriter {
public:
    explicit ShotWriter(QDir folder) : m_folder(std::move(folder)) {}

    void save(QWidget* widget, const char* name)
    {
        // Let pending layouts and repaints run, so the picture shows the widget as it is now.
        QCoreApplication::processEvents();
        const QString path = m_folder.filePath(QString::fromLatin1(name));
        if (!widget->grab().save(path, "PNG")) {
            std::fprintf(stderr, "qmx_manual_shots: cannot write %s\n", qPrintable(path));
            m_failed = true;
        }
    }
    bool failed() const { return m_failed; }

private:
    QDir m_folder;
    bool m_failed = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: qmx_manual_shots OUTPUT_FOLDER\n", stderr);
        return 64;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "qmx_manual_shots: cannot create %s\n", argv[1]);
        return 1;
    }

    using namespace qmx;
    sim::SimBackend sim(sim::SimBackend::Clock::RealTime);
    sim.transducer().setSeed(7);
    // Channel 4 carries a fixed load near its rated range, so the pictures show a nearly full bar.
    sim.transducer().setLoad(3, 960.0);

    ui::MainWindow form(sim); // no preferences file: every preference at its default
    ui::AboutBox about;
    ui::TFormCalib calib;
    ui::AnalogCalibrationWindow analogCalib;
    ui::LargeReadoutWindow bigDisplay;
    ui::HelpWindow help;
    form.attachWindows({&about, &calib, &analogCalib, &bigDisplay, &help});
    form.show();

    const QString hyphens = QString::fromLatin1(display::kNotConnectedText);
    const bool live = runUntil(
        [&] {
            // Connected, settings read, and measurement reports arriving (the first poll goes out a
            // second after the read-out): channel 1 then reports a real status.
            return form.link().connected() && form.connectionStatusEdit->text().startsWith(QStringLiteral("Połączono"))
                && !form.unitsText().isEmpty() && form.measurementPage->sumReadout->text() != hyphens
                && form.link().measurement().ChannelStatus[0] >= 2;
        },
        kConnectTimeout);
    if (!live) {
        std::fputs("qmx_manual_shots: the virtual transducer did not connect\n", stderr);
        return 1;
    }
    runFor(kSettleTime);

    ShotWriter shots(folder);
    QTabWidget* pages = form.pageTabs;

    pages->setCurrentWidget(form.measurementPage);
    shots.save(&form, "pomiary.png");

    pages->setCurrentWidget(form.recordingPage);
    shots.save(&form, "rejestracja.png");

    pages->setCurrentWidget(form.settingsPage);
    ui::SettingsPage* settings = form.settingsPage;
    settings->settingsTabs->setCurrentIndex(0);
    shots.save(&form, "ustawienia-wejscia.png");
    settings->settingsTabs->setCurrentIndex(1);
    shots.save(&form, "ustawienia-komunikacja.png");
    settings->settingsTabs->setCurrentIndex(2);
    shots.save(&form, "ustawienia-wyjscia.png");

    // The chart with every line switched on, running for a moment.
    pages->setCurrentWidget(form.chartPage);
    ui::ChartPage* chart = form.chartPage;
    for (int series = 0; series < 5; ++series) {
        chart->setSeriesActive(series, true);
    }
    chart->startChart();
    // Sensor 1 is loaded and unloaded by hand meanwhile, so the curves show a change of force.
    const double loads[] = {390.0, 520.0, 680.0, 820.0, 700.0, 480.0, 300.0, 250.0};
    for (const double load : loads) {
        sim.transducer().setLoad(0, load);
        runFor(kChartRunTime / std::size(loads));
    }
    chart->pauseChart();
    shots.save(&form, "wykres.png");
    pages->setCurrentWidget(form.measurementPage);

    // The menus, opened under their titles.
    for (const auto& [menu, name] : {std::pair{form.configurationMenu, "menu-konfiguracja.png"}, std::pair{form.helpMenu, "menu-pomoc.png"}}) {
        menu->popup(form.menuBar()->mapToGlobal(form.menuBar()->actionGeometry(menu->menuAction()).bottomLeft()));
        runFor(50ms);
        shots.save(menu, name);
        menu->hide();
    }

    // The large window at its first size, following sensor 1 (the header names the value shown).
    form.measurementPage->showSensor1Radio->setChecked(true);
    bigDisplay.show();
    runFor(kSettleTime);
    shots.save(&bigDisplay, "duze-okno.png");
    bigDisplay.hide();
    form.measurementPage->showSumRadio->setChecked(true);

    analogCalib.show(); // shown without its modal loop: only its picture is needed
    runFor(50ms);
    shots.save(&analogCalib, "kalibracja-analogowa.png");
    analogCalib.hide();

    form.hide();
    return shots.failed() ? 1 : 0;
}
