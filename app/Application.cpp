#include "Application.h"

#include "ui/ErrorBox.h"
#include "ui/icons/Icons.h"

#include <exception>

namespace qmx::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("QMX80NET"));
    setWindowIcon(ui::programIcon());
    setDesktopFileName(QStringLiteral("qmx80net-pc"));
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ui::showErrorBox(nullptr, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ui::showErrorBox(nullptr, QString());
    }
    return false;
}

} // namespace qmx::app
