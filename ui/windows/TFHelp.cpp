#include "TFHelp.h"

namespace qmx::ui {

TFHelp::TFHelp(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FHelp"));
    setWindowTitle(QStringLiteral("QMX80NET instrukcja"));
    resize(655, 611);
}

} // namespace qmx::ui
