// Program entry: creates the windows in their fixed order and runs the message loop.

#include "AppSettings.h"
#include "Application.h"
#include "Backends.h"
#include "ShutdownSignals.h"

#include "ui/ErrorBox.h"
#include "ui/MainWindow.h"
#include "ui/windows/TFHelp.h"
#include "ui/windows/TForm2.h"
#include "ui/windows/TFormAnCalib.h"
#include "ui/windows/TFormBigDisplay.h"
#include "ui/windows/TFormCalib.h"

#include <QStandardPaths>

#include <exception>

int main(int argc, char** argv)
{
    qmx::app::Application application(argc, argv);
    try {
        // Caught from the start, so a signal that comes while the windows are being made still
        // closes the program once its message loop runs.
        qmx::app::ShutdownSignals shutdownSignals;
        const bool simulate = QCoreApplication::arguments().contains(QStringLiteral("--simulate"));
        qmx::app::Backends backends(simulate);

        const QString settingsPath = qmx::app::appSettingsPath(
            QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));

        // Creation order: main window first (its creation sequence runs before the others exist).
        qmx::ui::TForm1 form1(backends.hid(), settingsPath);
        qmx::ui::TForm2 form2;
        qmx::ui::TFormCalib formCalib;
        qmx::ui::TFormAnCalib formAnCalib;
        qmx::ui::TFormBigDisplay formBigDisplay;
        qmx::ui::TFHelp fHelp;
        form1.attachWindows({&form2, &formCalib, &formAnCalib, &formBigDisplay, &fHelp});
        // A logout, a shutdown, Ctrl-C or a closed terminal closes the main window as its close
        // button does: preferences written, recording closed, transducer released.
        QObject::connect(&shutdownSignals, &qmx::app::ShutdownSignals::shutdownRequested, &form1,
                         [&form1] { form1.close(); });
        form1.show();
        return qmx::app::Application::exec();
    } catch (const std::exception& e) {
        qmx::ui::showErrorBox(nullptr, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        qmx::ui::showErrorBox(nullptr, QString());
    }
    return 0;
}
