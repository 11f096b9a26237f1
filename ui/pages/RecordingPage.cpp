#include "RecordingPage.h"

#include <QLineEdit>

namespace qmx::ui {

RecordingPage::RecordingPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet3"));
    Edit_IN2 = new QLineEdit(QStringLiteral("IN2"), this);
    Edit_IN2->setObjectName(QStringLiteral("Edit_IN2"));
    Edit_IN2->setReadOnly(true);
}

} // namespace qmx::ui
