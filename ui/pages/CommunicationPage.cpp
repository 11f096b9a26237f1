#include "CommunicationPage.h"
#include "ui/widgets/Fonts.h"

#include "SettingsWidgets.h"

#include "settings/core/ListItems.h"
#include "ui/icons/Icons.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qmx::ui {

using namespace settingswidgets;

namespace {
constexpr int kStartBaudIndex = 2; // 38400
constexpr int kAddressFieldWidth = 150;

QLineEdit* addressEdit(QWidget* parent, const char* name, const char* text)
{
    auto* edit = makeEdit(parent, name, QString::fromLatin1(text));
    edit->setFont(namedFont(NamedFont::CourierNew, 13));
    edit->setFixedWidth(kAddressFieldWidth);
    return edit;
}
} // namespace

CommunicationPage::CommunicationPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet7"));
    communicationGroup = named(new QGroupBox(this), "GroupBox18");
    // The group fills the page; the controls keep their size and place at its top left.
    auto* column = topLeftBlock(this, communicationGroup, content);

    rs485Group = named(new QGroupBox(QStringLiteral("RS485 Modbus-RTU"), communicationGroup), "GroupBox21");
    auto* rs = new QGridLayout(rs485Group);
    modbusBaudList = makeList(rs485Group, "Cb_ModbusBaud", settings::kModbusBaudItems, kStartBaudIndex);
    modbusAddressList = makeList(rs485Group, "Cb_ModbusAddress", {});
    modbusParityList = makeList(rs485Group, "Cb_ModbusParity", settings::kModbusParityItems);
    rs485RateLabel = named(new QLabel(QStringLiteral("0"), rs485Group), "Label_Rs485FPS");
    rs->addWidget(makeLabel(rs485Group, QStringLiteral("Prędkość transmisji")), 0, 0);
    rs->addWidget(modbusBaudList, 0, 1);
    rs->addWidget(makeLabel(rs485Group, QStringLiteral("Adres urządzenia")), 1, 0);
    rs->addWidget(modbusAddressList, 1, 1);
    rs->addWidget(makeLabel(rs485Group, QStringLiteral("Parzystość")), 2, 0);
    rs->addWidget(modbusParityList, 2, 1);
    rs->setColumnStretch(2, 1);
    rs->addWidget(makeLabel(rs485Group, QStringLiteral("Danych/sek:")), 0, 3);
    rs->addWidget(rs485RateLabel, 0, 4);
    column->addWidget(rs485Group);

    ethernetGroup = named(new QGroupBox(QStringLiteral("Ethernet Modbus TCP/IP"), communicationGroup), "GroupBox4");
    auto* eth = new QGridLayout(ethernetGroup);
    ipAddressEdit = addressEdit(ethernetGroup, "MaskEdit_IP_Addr", "192.168.0.2");
    ipMaskEdit = addressEdit(ethernetGroup, "MaskEdit_IP_Mask", "255.255.255.0");
    ipGatewayEdit = addressEdit(ethernetGroup, "MaskEdit_IP_Gate", "192.168.0.1");
    ethernetPortEdit = makeEdit(ethernetGroup, "Edit1", QStringLiteral("502"));
    ethernetPortEdit->setReadOnly(true);
    ethernetPortEdit->setEnabled(false);
    ethernetPortEdit->setFocusPolicy(Qt::NoFocus);
    ethernetPortEdit->setFixedWidth(kAddressFieldWidth);
    macAddressEdit = addressEdit(ethernetGroup, "MaskEdit_MAC", "00:00:00:00:00:00");
    macAddressEdit->setReadOnly(true);
    macAddressEdit->setEnabled(false);
    ethernetRateLabel = named(new QLabel(QStringLiteral("0"), ethernetGroup), "Label_EthFps");
    const std::array<std::pair<const char*, QLineEdit*>, 5> rows{{{"Adres IP QMX80", ipAddressEdit},
                                                                  {"Maska podsieci", ipMaskEdit},
                                                                  {"Brama domyślna", ipGatewayEdit},
                                                                  {"Port", ethernetPortEdit},
                                                                  {"Adres MAC", macAddressEdit}}};
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& [caption, edit] = rows[static_cast<std::size_t>(r)];
        eth->addWidget(makeLabel(ethernetGroup, QString::fromUtf8(caption)), r, 0);
        eth->addWidget(edit, r, 1);
    }
    eth->setColumnStretch(2, 1);
    eth->addWidget(makeLabel(ethernetGroup, QStringLiteral("Danych/sek:")), 0, 3);
    eth->addWidget(ethernetRateLabel, 0, 4);
    column->addWidget(ethernetGroup);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    readIoSettingsButton = makeButton(communicationGroup, "Btn_ReadIOettings", QStringLiteral("&Odczytaj"));
    writeIoSettingsButton = makeButton(communicationGroup, "Btn_SaveIOSettings", QStringLiteral("&Zapisz"));
    communicationDefaultsButton = makeButton(communicationGroup, "Btn_ComFactory", QStringLiteral("Przywróć fabryczne"));
    readIoSettingsButton->setIcon(buttonIcon(ButtonPicture::Read));
    writeIoSettingsButton->setIcon(buttonIcon(ButtonPicture::Save));
    communicationDefaultsButton->setIcon(buttonIcon(ButtonPicture::Factory));
    buttons->addWidget(readIoSettingsButton);
    buttons->addStretch(1);
    buttons->addWidget(writeIoSettingsButton);
    buttons->addStretch(1);
    buttons->addWidget(communicationDefaultsButton);
    column->addLayout(buttons);
}

} // namespace qmx::ui
