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

} // namespace qmx::app
