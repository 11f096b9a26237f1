#include "ErrorBox.h"

#include <QMessageBox>

namespace qmx::ui {

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.') {
        return message + u'.';
    }
    return message;
}

void showErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox::critical(parent, QStringLiteral("QMX80NET"), errorBoxText(message));
}

} // namespace qmx::ui
