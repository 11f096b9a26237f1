#pragma once
// The "Ustawienia" page: the transducer's settings on three inner pages (sensor inputs,
// communication, outputs). The page wires itself to the link's settings replies; the
// communication and output block, which spans two inner pages, is read and written here.

#include "SettingsContext.h"
#include "SettingsWidgets.h"
#include "ui/widgets/TextBindings.h"

#include "display/core/NumberFormat.h"
#include "link/LinkController.h"
#include "settings/core/IoSettings.h"

#include <QByteArray>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace qmx::ui {

class CommunicationPage;
class OutputsPage;
class SensorSettingsPage;
class AnalogCalibrationWindow;

class SettingsPage : public QWidget {
    Q_OBJECT
public:
    /// `link` must outlive the page. Texts with an identifier are taken through `lookupText`.
    /// The number separators are the user's (NumberLocale::system()) and the boxes are real
    /// message boxes until replaced with the setters below.
    SettingsPage(link::LinkController& link, TextLookup lookupText, QWidget* parent = nullptr);
    ~SettingsPage() override;

    /// Puts every caption of the page and its inner pages into the interface language chosen now.
    void retranslate();

    /// Separators used for every number text of the pages (and of the calibration window).
    void setNumberLocale(const display::NumberLocale& locale);
    /// Replaces the modal boxes (tests install a recorder that answers them).
    void setPrompts(std::unique_ptr<SettingsPrompts> prompts);
    /// The window that analogCalibrationButton opens; the page hands it the link and the separators.
    void setAnalogCalibrationWindow(AnalogCalibrationWindow* window);

    /// Fills modbusAddressList with "1" to "247" (item index = address - 1) and selects "1".
    void fillModbusAddressList();
    /// Unit suffix with its leading blank (" N"); empty until the first sensor settings reply.
    const QString& unitsText() const;
    /// Number of decimals shown: the selected index of decimalsList (0 without a selection).
    int Decp() const;
    /// Response delay and stability time from the rate and filter lists (also run at start-up).
    void adRateChanged();

    // The communication and output block.
    /// Reply 0x03: fills the communication and output pages from the frame (code at offset 0).
    void applyIoSettings(const QByteArray& frame);
    /// "Zapisz" of both pages: checks every field, shows the Ethernet notice, sends 0x8B.
    void writeIoSettings();
    /// "Odczytaj" of both pages.
    void readIoSettings();
    /// "Przywróć fabryczne" of the communication page, after the user confirms.
    void restoreCommunicationDefaults();
    /// "Przywróć fabryczne" of the outputs page, after the user confirms.
    void restoreOutputsDefaults();
    /// Opens the analog output calibration window, modal.
    void showAnalogCalibration();
    /// Takes the refusal mark off every field of the three inner pages that holds a valid value
    /// again; run after a settings file filled the pages (replies do it themselves).
    void clearMarksOfValidFields();

    QTabWidget* settingsTabs = nullptr;
    SensorSettingsPage* sensorPage = nullptr; ///< "Wejścia tensometryczne"
    CommunicationPage* communicationPage = nullptr;  ///< "Komunikacja"
    OutputsPage* outputsPage = nullptr;        ///< "Wyjścia "

    // Controls the main window reads or fills, on the inner pages.
    QComboBox* filterLevelList = nullptr;
    QComboBox* decimalsList = nullptr; ///< decimals shown by every readout
    QComboBox* modbusAddressList = nullptr;
    QLabel* rs485RateLabel = nullptr;
    QLabel* ethernetRateLabel = nullptr;
    QLineEdit* out1StatusEdit = nullptr;
    QLineEdit* out2StatusEdit = nullptr;

signals:
    /// The unit suffix of the measurement display changed.
    void unitsTextChanged(const QString& unitsText);

private:
    /// The IP, mask, gateway and MAC bytes: filled by each reply, converted from the texts by a write.
    struct NetworkBlock {
        std::array<std::uint8_t, 4> IP{};
        std::array<std::uint8_t, 4> Mask{};
        std::array<std::uint8_t, 4> Gate{};
        std::array<std::uint8_t, 6> MAC{};
    };

    bool readNetworkTexts();
    void connectControls();
    void listCheckedIoFields();
    /// After a write refused with a box: when the inner page on view shows none of the marked
    /// fields, the page holding the first of them is brought forward.
    void showPageOfRefusedField();

    std::unique_ptr<SettingsContext> m_context;
    NetworkBlock m_network;
    /// The fields of the communication and outputs pages that "Zapisz" checks, in check order.
    std::vector<settingswidgets::CheckedField> m_checkedIoFields;
    AnalogCalibrationWindow* m_analogCalib = nullptr;
    TextBindings m_texts;
};

} // namespace qmx::ui
