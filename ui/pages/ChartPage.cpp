#include "ChartPage.h"

namespace qmx::ui {

ChartPage::ChartPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet2"));
}

} // namespace qmx::ui
