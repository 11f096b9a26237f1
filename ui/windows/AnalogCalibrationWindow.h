#pragma once
// Analog output calibration: make the transducer drive a test level (9 V or 18 mA), and store the
// level the user measured with a meter. A modal window kept from start-up to the end; what the
// user typed stays when it is closed and opened again. Closing it (Esc, the close button, the end of
// the program) while a test level is being driven stops the level first.

#include "display/core/NumberFormat.h"
#include "lang/StringTable.h"
#include "ui/widgets/TextBindings.h"

#include <QWidget>

#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qmx::link {
class LinkController;
}

namespace qmx::ui {

class AnalogCalibrationWindow : public QWidget {
    Q_OBJECT
public:
    /// Bounds of the measured voltage, in volts (inclusive).
    static constexpr float kVoltageMin = 1.0F;
    static constexpr float kVoltageMax = 15.0F;
    /// Bounds of the measured current, in milliamperes (inclusive). The test drives 18 mA, so the
    /// field takes values around it.
    static constexpr float kCurrentMin = 1.0F;
    static constexpr float kCurrentMax = 25.0F;
    /// Decimals of a measured value.
    static constexpr int kDecimals = 3;

    explicit AnalogCalibrationWindow(QWidget* parent = nullptr);

    /// Puts every caption of the window into `language` (and shows later texts in it).
    void setLanguage(lang::Language language);

    /// The link the buttons send through (null: the buttons send nothing). Must outlive the window.
    void attachLink(link::LinkController* link);
    /// Separators of the measured-value texts.
    void setNumberLocale(const display::NumberLocale& locale);
    /// Shows the window modal to the application, without blocking the caller.
    void showModal();

    /// "Start": drive the test level of the selected range.
    void startTestSignal();
    /// "Stop": stop driving the test level.
    void stopTestSignal();
    /// "Zapisz" of the voltage range.
    void calibrateVoltageOutput();
    /// "Zapisz" of the current range.
    void calibrateCurrentOutput();
    /// "Odczytaj Factor": reads the communication and output settings (into the main window).
    void readCalibrationFactors();

    QRadioButton* voltageRadio = nullptr;
    QRadioButton* currentRadio = nullptr;
    QCheckBox* testCheck = nullptr;
    QPushButton* testStartButton = nullptr;
    QPushButton* testStopButton = nullptr;
    QLineEdit* voltageEdit = nullptr;
    QPushButton* calibrateVoltageButton = nullptr;
    QLineEdit* currentEdit = nullptr;
    QPushButton* calibrateCurrentButton = nullptr;
    QLabel* voltageFactorLabel = nullptr;
    QLabel* currentFactorLabel = nullptr;
    QPushButton* readFactorsButton = nullptr;

    /// True between a "Start" and the next "Stop" (or the close that stopped the level).
    bool testLevelForced() const { return m_testLevelForced; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void calibrate(std::uint8_t channel, QLineEdit* edit, float lower, float upper);

    link::LinkController* m_link = nullptr;
    bool m_testLevelForced = false;
    display::NumberLocale m_locale = display::NumberLocale::system();
    lang::Language m_language = lang::Language::Polish;
    TextBindings m_texts{[this](std::string_view id) { return lang::lookupText(id, m_language); }};
};

} // namespace qmx::ui
