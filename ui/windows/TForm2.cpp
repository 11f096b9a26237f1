#include "TForm2.h"

namespace qmx::ui {

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("O programie"));
    resize(476, 228);
}

} // namespace qmx::ui
