#pragma once
// A note window that the program creates but never shows.

#include <QWidget>

namespace qmx::ui {

class TFormCalib : public QWidget {
    Q_OBJECT
public:
    explicit TFormCalib(QWidget* parent = nullptr);
};

} // namespace qmx::ui
