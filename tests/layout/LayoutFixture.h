#pragma once
// The real main window on the fake HID backend (no transducer), offscreen, as start-up leaves it.

#include "FakeBackend.h"

#include "ui/MainWindow.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace qmx::test::layout {

class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() : window(backend) { window.setErrorBox([this](const QString& text) { errors << text; }); }

    /// The one widget of the window with this object name (the window itself for "Form1").
    QWidget* control(const char* name)
    {
        if (window.objectName() == QLatin1String(name)) {
            return &window;
        }
        const auto found = window.findChildren<QWidget*>(QString::fromLatin1(name));
        return found.size() == 1 ? found.front() : nullptr;
    }
    /// Shows the window and lets its layouts settle.
    void showWindow()
    {
        window.show();
        settle();
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    }

    FakeBackend backend;
    ui::MainWindow window;
    QStringList errors;
};

/// The rectangle of `widget` in the coordinates of `ancestor`.
inline QRect rectIn(const QWidget* widget, const QWidget* ancestor)
{
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

} // namespace qmx::test::layout
