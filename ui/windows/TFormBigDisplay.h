#pragma once
// The large readout: the selected value with its unit, its name and the transducer's maximum, in
// digits that scale with the window. Its texts are written by the main window's display tick.

#include <QWidget>

class QLabel;
class QPushButton;

namespace qmx::ui {

class HeaderBar;

class TFormBigDisplay : public QWidget {
    Q_OBJECT
public:
    explicit TFormBigDisplay(QWidget* parent = nullptr);

    /// Point size of the digits for a window of the given outer size.
    static int digitPointSize(int outerWidth, int outerHeight) { return outerWidth / 16 + outerHeight / 8; }

    HeaderBar* Label_ActualVal = nullptr;
    QLabel* LED_display = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* DispMax = nullptr;
    QPushButton* Btn_ResetMinMax = nullptr;

signals:
    /// "Reset Max" was pressed; the main window sends the reset.
    void resetMaxRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormResize();
};

} // namespace qmx::ui
