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

    QGroupBox* GroupBox18 = nullptr;
    /// The page's controls, kept at the top left of GroupBox18 whatever the window's size.
    QWidget* content = nullptr;
    QGroupBox* GroupBox21 = nullptr; ///< "RS485 Modbus-RTU"
    QComboBox* Cb_ModbusBaud = nullptr;
    QComboBox* Cb_ModbusAddress = nullptr; ///< "1" to "247", filled by fillModbusAddressList()
    QComboBox* Cb_ModbusParity = nullptr;
    QLabel* Label_Rs485FPS = nullptr;
    QGroupBox* GroupBox4 = nullptr; ///< "Ethernet Modbus TCP/IP"
    QLineEdit* MaskEdit_IP_Addr = nullptr;
    QLineEdit* MaskEdit_IP_Mask = nullptr;
    QLineEdit* MaskEdit_IP_Gate = nullptr;
    QLineEdit* Edit1 = nullptr;        ///< "Port", fixed at 502
    QLineEdit* MaskEdit_MAC = nullptr; ///< read-only
    QLabel* Label_EthFps = nullptr;
    QPushButton* Btn_ReadIOettings = nullptr;
    QPushButton* Btn_SaveIOSettings = nullptr;
    QPushButton* Btn_ComFactory = nullptr;
};

} // namespace qmx::ui
