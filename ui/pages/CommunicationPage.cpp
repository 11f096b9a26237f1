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
    GroupBox18 = named(new QGroupBox(this), "GroupBox18");
    // The group fills the page; the controls keep their size and place at its top left.
    auto* column = topLeftBlock(this, GroupBox18, content);

    GroupBox21 = named(new QGroupBox(QStringLiteral("RS485 Modbus-RTU"), GroupBox18), "GroupBox21");
    auto* rs = new QGridLayout(GroupBox21);
    Cb_ModbusBaud = makeList(GroupBox21, "Cb_ModbusBaud", settings::kModbusBaudItems, kStartBaudIndex);
    Cb_ModbusAddress = makeList(GroupBox21, "Cb_ModbusAddress", {});
    Cb_ModbusParity = makeList(GroupBox21, "Cb_ModbusParity", settings::kModbusParityItems);
    Label_Rs485FPS = named(new QLabel(QStringLiteral("0"), GroupBox21), "Label_Rs485FPS");
    rs->addWidget(makeLabel(GroupBox21, QStringLiteral("Prędkość transmisji")), 0, 0);
    rs->addWidget(Cb_ModbusBaud, 0, 1);
    rs->addWidget(makeLabel(GroupBox21, QStringLiteral("Adres urządzenia")), 1, 0);
    rs->addWidget(Cb_ModbusAddress, 1, 1);
    rs->addWidget(makeLabel(GroupBox21, QStringLiteral("Parzystość")), 2, 0);
    rs->addWidget(Cb_ModbusParity, 2, 1);
    rs->setColumnStretch(2, 1);
    rs->addWidget(makeLabel(GroupBox21, QStringLiteral("Danych/sek:")), 0, 3);
    rs->addWidget(Label_Rs485FPS, 0, 4);
    column->addWidget(GroupBox21);

    GroupBox4 = named(new QGroupBox(QStringLiteral("Ethernet Modbus TCP/IP"), GroupBox18), "GroupBox4");
    auto* eth = new QGridLayout(GroupBox4);
    MaskEdit_IP_Addr = addressEdit(GroupBox4, "MaskEdit_IP_Addr", "192.168.0.2");
    MaskEdit_IP_Mask = addressEdit(GroupBox4, "MaskEdit_IP_Mask", "255.255.255.0");
    MaskEdit_IP_Gate = addressEdit(GroupBox4, "MaskEdit_IP_Gate", "192.168.0.1");
    Edit1 = makeEdit(GroupBox4, "Edit1", QStringLiteral("502"));
    Edit1->setReadOnly(true);
    Edit1->setEnabled(false);
    Edit1->setFocusPolicy(Qt::NoFocus);
    Edit1->setFixedWidth(kAddressFieldWidth);
    MaskEdit_MAC = addressEdit(GroupBox4, "MaskEdit_MAC", "00:00:00:00:00:00");
    MaskEdit_MAC->setReadOnly(true);
    MaskEdit_MAC->setEnabled(false);
    Label_EthFps = named(new QLabel(QStringLiteral("0"), GroupBox4), "Label_EthFps");
    const std::array<std::pair<const char*, QLineEdit*>, 5> rows{{{"Adres IP QMX80", MaskEdit_IP_Addr},
                                                                  {"Maska podsieci", MaskEdit_IP_Mask},
                                                                  {"Brama domyślna", MaskEdit_IP_Gate},
                                                                  {"Port", Edit1},
                                                                  {"Adres MAC", MaskEdit_MAC}}};
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& [caption, edit] = rows[static_cast<std::size_t>(r)];
        eth->addWidget(makeLabel(GroupBox4, QString::fromUtf8(caption)), r, 0);
        eth->addWidget(edit, r, 1);
    }
    eth->setColumnStretch(2, 1);
    eth->addWidget(makeLabel(GroupBox4, QStringLiteral("Danych/sek:")), 0, 3);
    eth->addWidget(Label_EthFps, 0, 4);
    column->addWidget(GroupBox4);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    Btn_ReadIOettings = makeButton(GroupBox18, "Btn_ReadIOettings", QStringLiteral("&Odczytaj"));
    Btn_SaveIOSettings = makeButton(GroupBox18, "Btn_SaveIOSettings", QStringLiteral("&Zapisz"));
    Btn_ComFactory = makeButton(GroupBox18, "Btn_ComFactory", QStringLiteral("Przywróć fabryczne"));
    Btn_ReadIOettings->setIcon(buttonIcon(ButtonPicture::Read));
    Btn_SaveIOSettings->setIcon(buttonIcon(ButtonPicture::Save));
    Btn_ComFactory->setIcon(buttonIcon(ButtonPicture::Factory));
    buttons->addWidget(Btn_ReadIOettings);
    buttons->addStretch(1);
    buttons->addWidget(Btn_SaveIOSettings);
    buttons->addStretch(1);
    buttons->addWidget(Btn_ComFactory);
    column->addLayout(buttons);
}

} // namespace qmx::ui
