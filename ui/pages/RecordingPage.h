#pragma once
// The "Rejestracja" page: recording measurements to a CSV file.

#include <QWidget>

class QLineEdit;

namespace qmx::ui {

class RecordingPage : public QWidget {
    Q_OBJECT
public:
    explicit RecordingPage(QWidget* parent = nullptr);

    QLineEdit* Edit_IN2 = nullptr; ///< state of input IN2
};

} // namespace qmx::ui
