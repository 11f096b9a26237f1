#pragma once
// The inner page "Komunikacja": the Modbus RTU parameters and the Ethernet addresses. The page
// holds the controls; reading and writing the block is done by SettingsPage, since the block
// spans this page and the outputs page.

#include "settings/core/ListItems.h"
#include "ui/widgets/TextBindings.h"

#include <QWidget>

#include <array>
#include <string_view>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qmx::ui {

/// String-table identifiers of the texts shown for the parity items, position by position. The
/// list's items stay the values of settings/core/ListItems.h.
inline constexpr std::array<std::string_view, settings::kModbusParityItems.size()> kModbusParityTextIds{
    "IDS_CommunicationParityNone", "IDS_CommunicationParityOdd", "IDS_CommunicationParityEven"};

class CommunicationPage : public QWidget {
    Q_OBJECT
public:
    /// The page starts with its Polish captions.
    explicit CommunicationPage(QWidget* parent = nullptr);

    /// Takes the page's captions from `lookup` from now on (the interface language's texts) and
    /// shows them at once. An empty lookup goes back to the Polish captions.
    void setTextLookup(TextBindings::Lookup lookup);
    /// Shows every caption again through the lookup (after a change of the interface language).
    void retranslate();

    /// The page's controls, kept at the top left of the page's group whatever the window's size.
    QWidget* content = nullptr;
    QComboBox* modbusBaudList = nullptr;
    QComboBox* modbusAddressList = nullptr; ///< "1" to "247", filled by fillModbusAddressList()
    QComboBox* modbusParityList = nullptr;
    QLabel* rs485RateLabel = nullptr;
    QLineEdit* ipAddressEdit = nullptr;
    QLineEdit* ipMaskEdit = nullptr;
    QLineEdit* ipGatewayEdit = nullptr;
    QLineEdit* ethernetPortEdit = nullptr;        ///< "Port", fixed at 502
    QLineEdit* macAddressEdit = nullptr; ///< read-only
    QLabel* ethernetRateLabel = nullptr;
    QPushButton* readIoSettingsButton = nullptr;
    QPushButton* writeIoSettingsButton = nullptr;
    QPushButton* communicationDefaultsButton = nullptr;

private:
    /// The text of `id` through the lookup, or in Polish while there is none.
    QString text(std::string_view id) const;

    TextBindings::Lookup m_lookup;
    TextBindings m_texts{[this](std::string_view id) { return text(id); }};
};

} // namespace qmx::ui
