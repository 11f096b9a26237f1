#pragma once
// The application object: an error that escapes an event handler is shown in the standard error
// box, titled with the application title, and the program goes on.

#include <QApplication>

namespace qmx::app {

class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

/// Shows `message` in the standard error box; a full stop is appended when the last character
/// sorts after the full stop.
void showErrorBox(const QString& message);

/// The message as the error box shows it.
QString errorBoxText(const QString& message);

} // namespace qmx::app
