#include "CommunicationPage.h"
#include "ui/widgets/Fonts.h"

#include "SettingsWidgets.h"

#include "settings/core/ListItems.h"
#include "ui/icons/Icons.h"

#include <QAbstractButton>
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
    auto* communicationGroup = named(new QGroupBox(this), "GroupBox18");
    // The group fills the page; the controls keep their size and place at its top left.
    auto* column = topLeftBlock(this, communicationGroup, content);
    // A caption label bound to its text in the interface language.
    const auto caption = [this](QWidget* parent, std::string_view id) {
        auto* label = makeLabel(parent, QString());
        m_texts.bind(label, &QLabel::setText, id);
        return label;
    };

    auto* rs485Group = named(new QGroupBox(communicationGroup), "GroupBox21");
    m_texts.bind(rs485Group, &QGroupBox::setTitle, "IDS_CommunicationRs485Group");
    auto* rs = new QGridLayout(rs485Group);
    modbusBaudList = makeList(rs485Group, "Cb_ModbusBaud", settings::kModbusBaudItems, kStartBaudIndex);
    modbusAddressList = makeList(rs485Group, "Cb_ModbusAddress", {});
    modbusParityList = makeList(rs485Group, "Cb_ModbusParity", settings::kModbusParityItems);
    bindListItems(m_texts, modbusParityList, settings::kModbusParityItems, kModbusParityTextIds);
    rs485RateLabel = named(new QLabel(QStringLiteral("0"), rs485Group), "Label_Rs485FPS");
    rs->addWidget(caption(rs485Group, "IDS_CommunicationBaudRate"), 0, 0);
    rs->addWidget(modbusBaudList, 0, 1);
    rs->addWidget(caption(rs485Group, "IDS_CommunicationDeviceAddress"), 1, 0);
    rs->addWidget(modbusAddressList, 1, 1);
    rs->addWidget(caption(rs485Group, "IDS_CommunicationParity"), 2, 0);
    rs->addWidget(modbusParityList, 2, 1);
    rs->setColumnStretch(2, 1);
    rs->addWidget(caption(rs485Group, "IDS_CommunicationDataRate"), 0, 3);
    rs->addWidget(rs485RateLabel, 0, 4);
    column->addWidget(rs485Group);

    auto* ethernetGroup = named(new QGroupBox(communicationGroup), "GroupBox4");
    m_texts.bind(ethernetGroup, &QGroupBox::setTitle, "IDS_CommunicationEthernetGroup");
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
    const std::array<std::pair<std::string_view, QLineEdit*>, 5> rows{{{"IDS_CommunicationIpAddress", ipAddressEdit},
                                                                      {"IDS_CommunicationSubnetMask", ipMaskEdit},
                                                                      {"IDS_CommunicationGateway", ipGatewayEdit},
                                                                      {"IDS_CommunicationPort", ethernetPortEdit},
                                                                      {"IDS_CommunicationMacAddress", macAddressEdit}}};
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& [id, edit] = rows[static_cast<std::size_t>(r)];
        eth->addWidget(caption(ethernetGroup, id), r, 0);
        eth->addWidget(edit, r, 1);
    }
    eth->setColumnStretch(2, 1);
    eth->addWidget(caption(ethernetGroup, "IDS_CommunicationDataRate"), 0, 3);
    eth->addWidget(ethernetRateLabel, 0, 4);
    column->addWidget(ethernetGroup);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    readIoSettingsButton = makeButton(communicationGroup, "Btn_ReadIOettings", QString());
    writeIoSettingsButton = makeButton(communicationGroup, "Btn_SaveIOSettings", QString());
    communicationDefaultsButton = makeButton(communicationGroup, "Btn_ComFactory", QString());
    m_texts.bind(readIoSettingsButton, &QAbstractButton::setText, "IDS_SettingsRead");
    m_texts.bind(writeIoSettingsButton, &QAbstractButton::setText, "IDS_SettingsWrite");
    m_texts.bind(communicationDefaultsButton, &QAbstractButton::setText, "IDS_SettingsFactoryDefaults");
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

void CommunicationPage::setTextLookup(TextBindings::Lookup lookup)
{
    m_lookup = std::move(lookup);
    m_texts.apply();
}

void CommunicationPage::retranslate()
{
    m_texts.apply();
}

QString CommunicationPage::text(std::string_view id) const
{
    return m_lookup ? m_lookup(id) : polishText(id);
}

} // namespace qmx::ui
