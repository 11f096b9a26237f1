#include "TFormAnCalib.h"

namespace qmx::ui {

TFormAnCalib::TFormAnCalib(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormAnCalib"));
    setWindowTitle(QStringLiteral("Wyjście analogowe - kalibracja"));
    resize(420, 300);
}

} // namespace qmx::ui
