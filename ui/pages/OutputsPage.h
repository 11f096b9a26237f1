#pragma once
// The inner page "Wyjścia ": the two switching outputs, their indicator roles, and the button that
// opens the analog output calibration. Reading and writing the block is done by SettingsPage.

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace qmx::ui {

/// The controls of one output line, in the order of the page's columns.
struct OutputRow {
    QLineEdit* status = nullptr;     ///< OutnStatus (filled by the measurement display)
    QComboBox* source = nullptr;     ///< Outn_source
    QComboBox* mode1 = nullptr;      ///< Outn_mode1
    QLineEdit* number1 = nullptr;    ///< Outn_Number1
    QComboBox* condition = nullptr;  ///< Outn_condition
    QComboBox* mode2 = nullptr;      ///< Outn_mode2
    QLineEdit* number2 = nullptr;    ///< Outn_Number2
    QComboBox* state = nullptr;      ///< Outn_state

    /// The seven settings controls that an indicator role disables.
    std::array<QWidget*, 7> settingsControls() const;
};

class OutputsPage : public QWidget {
    Q_OBJECT
public:
    explicit OutputsPage(QWidget* parent = nullptr);

    /// OUT1 as stability indicator: its row is disabled while ticked (values are kept).
    void Cb_Out1StabilityIndicatorClick();
    /// OUT2 as overload indicator: its row is disabled while ticked (values are kept).
    void Cb_Out2OverloadIndicatorClick();

    QGroupBox* GroupBox11 = nullptr;
    /// The page's controls, kept at the top left of GroupBox11 whatever the window's size.
    QWidget* content = nullptr;
    QCheckBox* Cb_Out1StabilityIndicator = nullptr;
    QCheckBox* Cb_Out2OverloadIndicator = nullptr;
    QGroupBox* GroupBox26 = nullptr; ///< "Sygnalizacja progów pomiarowych "
    OutputRow out1;
    OutputRow out2;
    QPushButton* BitBtn5 = nullptr; ///< "Odczytaj"
    QPushButton* BitBtn6 = nullptr; ///< "Zapisz"
    QPushButton* Btn_OutputsFactory = nullptr;
    /// Opens the analog output calibration window.
    QPushButton* Btn_AnalogOutCalib = nullptr;

private:
    OutputRow buildRow(int output, QGridLayout* grid);
};

} // namespace qmx::ui
