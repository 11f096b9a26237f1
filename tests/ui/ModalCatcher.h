#pragma once
// Closes every modal message box that opens while it lives and keeps the texts it showed, so that
// code which opens a box (also during a window's construction) can be tested without blocking.

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace qmx::test {

class ModalCatcher {
public:
    ModalCatcher()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        m_timer.start();
    }
    QStringList texts;

private:
    QTimer m_timer;
};

} // namespace qmx::test
