#include "TFormCalib.h"

namespace qmx::ui {

TFormCalib::TFormCalib(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormCalib"));
    setWindowTitle(QStringLiteral("Kalibracja"));
    resize(300, 200);
}

} // namespace qmx::ui
