#include "Application.h"

#include <QMessageBox>

#include <exception>

namespace qmx::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("QMX80NET"));
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showErrorBox(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        showErrorBox(QString());
    }
    return false;
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.') {
        return message + u'.';
    }
    return message;
}

void showErrorBox(const QString& message)
{
    QMessageBox::critical(nullptr, QStringLiteral("QMX80NET"), errorBoxText(message));
}

} // namespace qmx::app
