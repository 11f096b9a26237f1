#pragma once
// Analog output calibration: test levels and storing measured values.

#include <QWidget>

namespace qmx::ui {

class TFormAnCalib : public QWidget {
    Q_OBJECT
public:
    explicit TFormAnCalib(QWidget* parent = nullptr);
};

} // namespace qmx::ui
