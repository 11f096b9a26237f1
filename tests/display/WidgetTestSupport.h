#pragma once
// Helpers of the widget tests: readable colours in failure messages, and a counter of the paint
// events a widget receives, to check that unchanged setters do not repaint.

#include "QtPrinters.h"

#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

inline void PrintTo(const QColor& color, std::ostream* os)
{
    *os << "RGB(" << color.red() << ',' << color.green() << ',' << color.blue() << ')';
}

namespace qmx::test {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }

    /// Shows the widget, lets the first paint happen and starts counting from zero.
    void showAndSettle()
    {
        m_widget->show();
        settle();
        m_count = 0;
    }

    /// Delivers the pending update requests and returns the paints counted so far.
    int settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        return m_count;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint) {
            ++m_count;
        }
        return false;
    }

private:
    QWidget* m_widget;
    int m_count = 0;
};

} // namespace qmx::test
