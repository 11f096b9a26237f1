#pragma once
// The help window showing the user's manual.

#include <QWidget>

namespace qmx::ui {

class TFHelp : public QWidget {
    Q_OBJECT
public:
    explicit TFHelp(QWidget* parent = nullptr);
};

} // namespace qmx::ui
