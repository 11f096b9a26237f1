#pragma once
// The inner page "Komunikacja": the Modbus RTU parameters and the Ethernet addresses. The page
// holds the controls; reading and writing the block is done by SettingsPage, since the block
// spans this page and the outputs page.

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qmx::ui {

class CommunicationPage : public QWidget {
    Q_OBJECT
public:
    explicit CommunicationPage(QWidget* parent = nullptr);

    QGroupBox* communicationGroup = nullptr;
    /// The page's controls, kept at the top left of communicationGroup whatever the window's size.
    QWidget* content = nullptr;
    QGroupBox* rs485Group = nullptr; ///< "RS485 Modbus-RTU"
    QComboBox* modbusBaudList = nullptr;
    QComboBox* modbusAddressList = nullptr; ///< "1" to "247", filled by fillModbusAddressList()
    QComboBox* modbusParityList = nullptr;
    QLabel* rs485RateLabel = nullptr;
    QGroupBox* ethernetGroup = nullptr; ///< "Ethernet Modbus TCP/IP"
    QLineEdit* ipAddressEdit = nullptr;
    QLineEdit* ipMaskEdit = nullptr;
    QLineEdit* ipGatewayEdit = nullptr;
    QLineEdit* ethernetPortEdit = nullptr;        ///< "Port", fixed at 502
    QLineEdit* macAddressEdit = nullptr; ///< read-only
    QLabel* ethernetRateLabel = nullptr;
    QPushButton* readIoSettingsButton = nullptr;
    QPushButton* writeIoSettingsButton = nullptr;
    QPushButton* communicationDefaultsButton = nullptr;
};

} // namespace qmx::ui
