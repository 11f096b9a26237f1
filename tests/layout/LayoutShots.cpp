// Pictures of the real windows for checking the layout by eye: every page and inner page of the
// main window at its minimum size and at 1280 x 900, the large display, the analog output
// calibration window and the about box, all against the virtual transducer.
//
// Usage: qmx_layout_shots <folder>   (runs on the offscreen platform unless told otherwise)

#include "sim/SimBackend.h"
#include "ui/MainWindow.h"
#include "ui/pages/ChartPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/windows/HelpWindow.h"
#include "ui/windows/AboutBox.h"
#include "ui/windows/AnalogCalibrationWindow.h"
#include "ui/windows/LargeReadoutWindow.h"
#include "ui/windows/TFormCalib.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTabWidget>
#include <QTextStream>

namespace {

void settle(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

bool save(QWidget* widget, const QDir& folder, const QString& name)
{
    settle(300);
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const bool ok = widget->grab().save(path);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << path << '\n';
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: qmx_layout_shots <folder>\n";
        return 2;
    }
    QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));

    qmx::sim::SimBackend backend(qmx::sim::SimBackend::Clock::RealTime);
    qmx::ui::MainWindow window(backend);
    qmx::ui::AboutBox about;
    qmx::ui::TFormCalib calib;
    qmx::ui::AnalogCalibrationWindow analogCalib;
    qmx::ui::LargeReadoutWindow bigDisplay;
    qmx::ui::HelpWindow help;
    window.attachWindows({&about, &calib, &analogCalib, &bigDisplay, &help});
    window.show();
    settle(2500); // connection, settings read-out and a few hundred measurements

    bool ok = true;
    const std::pair<const char*, QSize> sizes[] = {{"min", QSize(682, 672)}, {"1280x900", QSize(1280, 900)}};
    const char* pages[] = {"pomiary", "wykres", "rejestracja", "ustawienia"};
    const char* innerPages[] = {"wejscia", "komunikacja", "wyjscia"};
    for (const auto& [sizeName, size] : sizes) {
        window.resize(size);
        for (int page = 0; page < window.pageTabs->count(); ++page) {
            window.pageTabs->setCurrentIndex(page);
            if (page == 1) {
                window.chartPage->startChart();
                settle(1500);
            }
            if (page != 3) {
                ok &= save(&window, folder, QStringLiteral("%1-%2").arg(QLatin1String(pages[page]), QLatin1String(sizeName)));
                continue;
            }
            for (int inner = 0; inner < window.settingsPage->settingsTabs->count(); ++inner) {
                window.settingsPage->settingsTabs->setCurrentIndex(inner);
                ok &= save(&window, folder,
                           QStringLiteral("ustawienia-%1-%2").arg(QLatin1String(innerPages[inner]), QLatin1String(sizeName)));
            }
        }
    }
    window.pageTabs->setCurrentIndex(0);

    bigDisplay.show();
    ok &= save(&bigDisplay, folder, QStringLiteral("duze-okno"));
    bigDisplay.resize(1280, 500);
    ok &= save(&bigDisplay, folder, QStringLiteral("duze-okno-1280"));
    bigDisplay.hide();

    analogCalib.show();
    ok &= save(&analogCalib, folder, QStringLiteral("kalibracja"));
    analogCalib.hide();

    about.show();
    ok &= save(&about, folder, QStringLiteral("o-programie"));
    about.hide();
    return ok ? 0 : 1;
}
