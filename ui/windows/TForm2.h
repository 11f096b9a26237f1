#pragma once
// The about box: program name, version, purpose and maker lines.

#include <QWidget>

namespace qmx::ui {

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
};

} // namespace qmx::ui
