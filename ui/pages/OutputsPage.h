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
    void stabilityIndicatorToggled();
    /// OUT2 as overload indicator: its row is disabled while ticked (values are kept).
    void overloadIndicatorToggled();

    QGroupBox* outputsGroup = nullptr;
    /// The page's controls, kept at the top left of outputsGroup whatever the window's size.
    QWidget* content = nullptr;
    QCheckBox* stabilityIndicatorCheck = nullptr;
    QCheckBox* overloadIndicatorCheck = nullptr;
    QGroupBox* thresholdsGroup = nullptr; ///< "Sygnalizacja progów pomiarowych "
    OutputRow out1;
    OutputRow out2;
    QPushButton* readOutputsButton = nullptr; ///< "Odczytaj"
    QPushButton* writeOutputsButton = nullptr; ///< "Zapisz"
    QPushButton* outputsDefaultsButton = nullptr;
    /// Opens the analog output calibration window.
    QPushButton* analogCalibrationButton = nullptr;

private:
    OutputRow buildRow(int output, QGridLayout* grid);
};

} // namespace qmx::ui
