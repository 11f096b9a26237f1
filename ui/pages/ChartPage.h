#pragma once
// The "Wykres" page: the live chart and its controls.

#include <QWidget>

namespace qmx::ui {

class ChartPage : public QWidget {
    Q_OBJECT
public:
    explicit ChartPage(QWidget* parent = nullptr);
};

} // namespace qmx::ui
