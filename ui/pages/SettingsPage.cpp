#include "SettingsPage.h"

#include "CommunicationPage.h"
#include "OutputsPage.h"
#include "SensorSettingsPage.h"
#include "SettingsWidgets.h"

#include "link/Protocol.h"
#include "settings/core/AddressText.h"
#include "settings/core/ListItems.h"
#include "settings/validation/FieldValidation.h"
#include "ui/icons/Icons.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/windows/TFormAnCalib.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qmx::ui {

using namespace settingswidgets;

namespace {

const QString kRefusalCaption = QStringLiteral("Warning");
const QString kEthernetNoticeCaption = QStringLiteral("Parametry komunikacji ethernet");
const QString kEthernetNotice =
    QStringLiteral("Ustawienie nowych parametrów dla Ethernet nastąpi po ponownym uruchomieniu urządzenia.");
// Room for the controls of an inner page when the main window has its minimum size.
constexpr QSize kInnerPageSize(640, 440);

/// Reads an address text into `bytes`: normal background and true on success, the refusal
/// colour and false (bytes untouched) otherwise.
template <std::size_t N, typename Convert>
bool convertAddress(QLineEdit* edit, std::array<std::uint8_t, N>& bytes, Convert convert)
{
    const auto converted = convert(edit->text());
    markRefused(edit, !converted);
    if (converted) {
        bytes = *converted;
    }
    return converted.has_value();
}

} // namespace

SettingsPage::SettingsPage(link::LinkController& link, TextLookup lookupText, QWidget* parent)
    : QWidget(parent),
      m_context(std::make_unique<SettingsContext>(SettingsContext{link, std::move(lookupText),
                                                                  display::NumberLocale::system(), nullptr}))
{
    setObjectName(QStringLiteral("TabSheet5"));
    m_context->prompts = makeMessageBoxPrompts(this);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    GroupBox20 = named(new QGroupBox(this), "GroupBox20");
    outer->addWidget(GroupBox20);
    auto* column = new QVBoxLayout(GroupBox20);
    column->setContentsMargins(2, 2, 2, 2);
    JvNavPanelHeader18 = named(new HeaderBar(QStringLiteral("Ustawienia"), HeaderBar::kSmallCaption, GroupBox20),
                               "JvNavPanelHeader18");
    column->addWidget(JvNavPanelHeader18);

    PageControl2 = named(new QTabWidget(GroupBox20), "PageControl2");
    PageControl2->setIconSize(QSize(kTabIconSize, kTabIconSize));
    TabSheet6 = new SensorSettingsPage(*m_context, PageControl2);
    TabSheet7 = new CommunicationPage(PageControl2);
    TabSheet4 = new OutputsPage(PageControl2);
    PageControl2->addTab(TabSheet6, imageListIcon(4), QStringLiteral("Wejścia tensometryczne"));
    PageControl2->addTab(TabSheet7, imageListIcon(5), QStringLiteral("Komunikacja"));
    PageControl2->addTab(TabSheet4, imageListIcon(6), QStringLiteral("Wyjścia "));
    // The three inner pages show their controls in one block of the same size, so the buttons
    // at the bottom stand in the same places on every page.
    // The block takes its preferred size, but no more than the inner pages offer at the window's
    // minimum size, and never less than its controls need.
    QSize preferred;
    QSize needed;
    for (const QWidget* content : {TabSheet6->content, TabSheet7->content, TabSheet4->content}) {
        preferred = preferred.expandedTo(content->sizeHint());
        needed = needed.expandedTo(content->minimumSizeHint());
    }
    const QSize common = preferred.boundedTo(kInnerPageSize).expandedTo(needed);
    for (QWidget* content : {TabSheet6->content, TabSheet7->content, TabSheet4->content}) {
        content->setFixedSize(common);
    }
    // The settings open on the communication page.
    PageControl2->setCurrentWidget(TabSheet7);
    column->addWidget(PageControl2, 1);

    Cb_FiltLevel = TabSheet6->Cb_FiltLevel;
    Cb_Decp = TabSheet6->Cb_Decp;
    Cb_ModbusAddress = TabSheet7->Cb_ModbusAddress;
    Label_Rs485FPS = TabSheet7->Label_Rs485FPS;
    Label_EthFps = TabSheet7->Label_EthFps;
    Out1Status = TabSheet4->out1.status;
    Out2Status = TabSheet4->out2.status;

    connectControls();
    listCheckedIoFields();
}

void SettingsPage::listCheckedIoFields()
{
    using Kind = CheckedField::Kind;
    const CommunicationPage& comm = *TabSheet7;
    m_checkedIoFields = {
        {comm.Cb_ModbusBaud, QStringLiteral("Prędkość transmisji"), Kind::List},
        {comm.Cb_ModbusAddress, QStringLiteral("Adres urządzenia"), Kind::List},
        {comm.Cb_ModbusParity, QStringLiteral("Parzystość"), Kind::List},
        {comm.MaskEdit_IP_Addr, QStringLiteral("Adres IP QMX80"), Kind::Ipv4},
        {comm.MaskEdit_IP_Mask, QStringLiteral("Maska podsieci"), Kind::Ipv4},
        {comm.MaskEdit_IP_Gate, QStringLiteral("Brama domyślna"), Kind::Ipv4},
        {comm.MaskEdit_MAC, QStringLiteral("Adres MAC"), Kind::Mac},
    };
    for (const auto& [name, row] : {std::pair{"OUT1", &TabSheet4->out1}, std::pair{"OUT2", &TabSheet4->out2}}) {
        const QString output = QStringLiteral(" (%1)").arg(QString::fromLatin1(name));
        const std::array<CheckedField, 7> fields{{
            {row->condition, QStringLiteral("Suma/iloczyn warunków") + output, Kind::List},
            {row->mode1, QStringLiteral("Warunek 1") + output, Kind::List},
            {row->mode2, QStringLiteral("Warunek 2") + output, Kind::List},
            {row->state, QStringLiteral("Stan wyjścia gdy warunki spełnione") + output, Kind::List},
            {row->source, QStringLiteral("Wartość do porównania") + output, Kind::List},
            {row->number1, QStringLiteral("Wartość do warunku 1") + output, Kind::Real, settings::kThresholdMin,
             settings::kThresholdMax},
            {row->number2, QStringLiteral("Wartość do warunku 2") + output, Kind::Real, settings::kThresholdMin,
             settings::kThresholdMax},
        }};
        m_checkedIoFields.insert(m_checkedIoFields.end(), fields.begin(), fields.end());
    }
}

void SettingsPage::clearMarksOfValidFields()
{
    TabSheet6->clearMarksOfValidFields();
    settingswidgets::clearMarksOfValidFields(m_checkedIoFields, m_context->locale);
}

void SettingsPage::showPageOfRefusedField()
{
    QWidget* shown = PageControl2->currentWidget();
    QWidget* first = nullptr;
    for (const CheckedField& f : m_checkedIoFields) {
        if (!isMarkedRefused(f.field)) {
            continue;
        }
        if (shown != nullptr && shown->isAncestorOf(f.field)) {
            return; // the user already sees a marked field
        }
        first = first != nullptr ? first : f.field;
    }
    for (QWidget* inner : {static_cast<QWidget*>(TabSheet7), static_cast<QWidget*>(TabSheet4)}) {
        if (first != nullptr && inner->isAncestorOf(first)) {
            PageControl2->setCurrentWidget(inner);
            return;
        }
    }
}

SettingsPage::~SettingsPage() = default;

void SettingsPage::connectControls()
{
    link::LinkController& link = m_context->link;
    connect(&link, &link::LinkController::sensorSettingsReceived, TabSheet6, &SensorSettingsPage::ApplySensorSettings);
    connect(&link, &link::LinkController::sensorSettingsWritten, TabSheet6, &SensorSettingsPage::sensorSettingsWritten);
    connect(&link, &link::LinkController::ioSettingsReceived, this, &SettingsPage::ApplyIOSettings);
    connect(TabSheet6, &SensorSettingsPage::unitsTextChanged, this, &SettingsPage::unitsTextChanged);

    for (QPushButton* read : {TabSheet7->Btn_ReadIOettings, TabSheet4->BitBtn5}) {
        connect(read, &QPushButton::clicked, this, &SettingsPage::Btn_ReadIOettingsClick);
    }
    for (QPushButton* save : {TabSheet7->Btn_SaveIOSettings, TabSheet4->BitBtn6}) {
        connect(save, &QPushButton::clicked, this, &SettingsPage::Btn_SaveIOSettingsClick);
    }
    connect(TabSheet7->Btn_ComFactory, &QPushButton::clicked, this, &SettingsPage::Btn_ComFactoryClick);
    connect(TabSheet4->Btn_OutputsFactory, &QPushButton::clicked, this, &SettingsPage::Btn_OutputsFactoryClick);
    connect(TabSheet4->Btn_AnalogOutCalib, &QPushButton::clicked, this, &SettingsPage::Btn_AnalogOutCalibClick);
}

void SettingsPage::setNumberLocale(const display::NumberLocale& locale)
{
    m_context->locale = locale;
    if (m_analogCalib != nullptr) {
        m_analogCalib->setNumberLocale(locale);
    }
}

void SettingsPage::setPrompts(std::unique_ptr<SettingsPrompts> prompts)
{
    if (prompts) {
        m_context->prompts = std::move(prompts);
    }
}

void SettingsPage::setAnalogCalibrationWindow(TFormAnCalib* window)
{
    m_analogCalib = window;
    if (m_analogCalib != nullptr) {
        m_analogCalib->attachLink(&m_context->link);
        m_analogCalib->setNumberLocale(m_context->locale);
    }
}

void SettingsPage::fillModbusAddressList()
{
    Cb_ModbusAddress->clear();
    Cb_ModbusAddress->addItems(settings::modbusAddressItems());
    Cb_ModbusAddress->setCurrentIndex(0);
}

const QString& SettingsPage::UnitsText() const
{
    return TabSheet6->UnitsText();
}

int SettingsPage::Decp() const
{
    return TabSheet6->Decp();
}

void SettingsPage::Cb_AdRateChange()
{
    TabSheet6->Cb_AdRateChange();
}

void SettingsPage::ApplyIOSettings(const QByteArray& frame)
{
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                                 static_cast<std::size_t>(frame.size()));
    const auto decoded = settings::decodeIoSettings(bytes);
    if (!decoded) {
        return; // too short to hold the record: nothing is read past its end
    }
    const settings::IoSettings& io = *decoded;
    CommunicationPage& comm = *TabSheet7;

    // Baud rate and parity are read as signed bytes: a byte of 128 or more leaves the list
    // without a selection, a small positive one outside the list leaves it as it was.
    const auto baud = static_cast<std::int8_t>(io.Baudrate);
    if (baud < static_cast<int>(settings::kModbusBaudItems.size())) {
        selectOrClear(comm.Cb_ModbusBaud, baud);
    }
    if (io.Address > 0) {
        selectOrClear(comm.Cb_ModbusAddress, io.Address - 1);
    }
    const auto parity = static_cast<std::int8_t>(io.Parity);
    if (parity < static_cast<int>(settings::kModbusParityItems.size())) {
        selectOrClear(comm.Cb_ModbusParity, parity);
    }

    m_network = {io.IP, io.Mask, io.Gate, io.MAC};
    comm.MaskEdit_IP_Addr->setText(settings::IpToText(m_network.IP));
    comm.MaskEdit_IP_Mask->setText(settings::IpToText(m_network.Mask));
    comm.MaskEdit_IP_Gate->setText(settings::IpToText(m_network.Gate));
    comm.MaskEdit_MAC->setText(settings::MacToText(m_network.MAC));

    const int decimals = Decp();
    const auto& locale = m_context->locale;
    const auto applyRow = [&](const settings::OutputSettings& out, const OutputRow& row) {
        selectOrClear(row.condition, out.condition);
        selectOrClear(row.mode1, out.mode1);
        selectOrClear(row.mode2, out.mode2);
        selectOrClear(row.state, out.state);
        selectOrClear(row.source, out.Source);
        row.number1->setText(settings::settingText(out.number1, settings::kFieldPrecision, decimals, locale));
        row.number2->setText(settings::settingText(out.number2, settings::kFieldPrecision, decimals, locale));
    };
    applyRow(io.Out1, TabSheet4->out1);
    applyRow(io.Out2, TabSheet4->out2);

    TabSheet4->Cb_Out1StabilityIndicator->setChecked((io.IndicatorFlags & settings::kOut1StabFlag) != 0);
    TabSheet4->Cb_Out2OverloadIndicator->setChecked((io.IndicatorFlags & settings::kOut2OverloadFlag) != 0);
    TabSheet4->Cb_Out1StabilityIndicatorClick();
    TabSheet4->Cb_Out2OverloadIndicatorClick();
    settingswidgets::clearMarksOfValidFields(m_checkedIoFields, locale);
    // The link sends the link-state request next.
}

bool SettingsPage::readNetworkTexts()
{
    // The first text that cannot be read ends the write: it is marked, the rest stay unchecked.
    const CommunicationPage& comm = *TabSheet7;
    return convertAddress(comm.MaskEdit_IP_Addr, m_network.IP, settings::TextToIp) &&
           convertAddress(comm.MaskEdit_IP_Mask, m_network.Mask, settings::TextToIp) &&
           convertAddress(comm.MaskEdit_IP_Gate, m_network.Gate, settings::TextToIp) &&
           convertAddress(comm.MaskEdit_MAC, m_network.MAC, settings::TextToMac);
}

void SettingsPage::Btn_SaveIOSettingsClick()
{
    bool refused = false;
    // A list without a selection is refused like a bad field, so that no index outside a list,
    // and never Modbus address 0, reaches the transducer.
    const auto listIndex = [&refused](QComboBox* list) -> std::uint8_t {
        const int index = checkListSelection(list);
        if (index < 0) {
            refused = true;
            return 0;
        }
        return static_cast<std::uint8_t>(index);
    };

    const CommunicationPage& comm = *TabSheet7;
    settings::IoSettings io;
    io.Baudrate = listIndex(comm.Cb_ModbusBaud);
    const int addressIndex = checkListSelection(comm.Cb_ModbusAddress);
    if (addressIndex < 0 || addressIndex + 1 > settings::kModbusAddressMax) {
        markRefused(comm.Cb_ModbusAddress, true);
        refused = true;
    } else {
        io.Address = static_cast<std::uint8_t>(addressIndex + 1);
    }
    io.Parity = listIndex(comm.Cb_ModbusParity);

    if (!readNetworkTexts()) {
        // No message, as before; but the marked address is put in front of the user.
        PageControl2->setCurrentWidget(TabSheet7);
        return;
    }
    io.IP = m_network.IP;
    io.Mask = m_network.Mask;
    io.Gate = m_network.Gate;
    io.MAC = m_network.MAC;

    // Disabled rows (an indicator role is ticked) are read, checked and sent like enabled ones.
    const int decimals = Decp();
    const auto& locale = m_context->locale;
    const auto readRow = [&](const OutputRow& row, settings::OutputSettings& out) {
        out.condition = listIndex(row.condition);
        out.mode1 = listIndex(row.mode1);
        out.mode2 = listIndex(row.mode2);
        out.state = listIndex(row.state);
        out.Source = listIndex(row.source);
        const auto n1 = checkRealField(row.number1, decimals, settings::kThresholdMin, settings::kThresholdMax, locale);
        const auto n2 = checkRealField(row.number2, decimals, settings::kThresholdMin, settings::kThresholdMax, locale);
        out.number1 = n1.value;
        out.number2 = n2.value;
        refused = refused || !n1.ok || !n2.ok;
    };
    readRow(TabSheet4->out1, io.Out1);
    readRow(TabSheet4->out2, io.Out2);
    io.IndicatorFlags = static_cast<std::uint8_t>(
        (TabSheet4->Cb_Out1StabilityIndicator->isChecked() ? settings::kOut1StabFlag : 0) |
        (TabSheet4->Cb_Out2OverloadIndicator->isChecked() ? settings::kOut2OverloadFlag : 0));

    if (refused) {
        showPageOfRefusedField();
        m_context->prompts->warning(kRefusalCaption,
                                    settings::refusalBoxText(m_context->text("IDS_67"),
                                                             refusedFieldLines(m_checkedIoFields, locale)));
        return;
    }
    // New Ethernet parameters take effect only after a restart of the transducer; the user is
    // told so before every write, and the write waits until the notice is closed.
    m_context->prompts->information(kEthernetNoticeCaption, kEthernetNotice);
    const auto frame = settings::encodeIoSettingsRequest(io);
    m_context->link.suspendPollForRequest();
    m_context->link.SendReport(frame);
}

void SettingsPage::Btn_ReadIOettingsClick()
{
    m_context->link.SendCommand(link::CMD_GET_IO_SETTINGS);
}

void SettingsPage::Btn_ComFactoryClick()
{
    if (m_context->prompts->confirm(kFactoryRestoreCaption, kFactoryRestoreQuestion)) {
        m_context->link.SendCommand(link::CMD_FACTORY_COMM_SETTINGS);
    }
}

void SettingsPage::Btn_OutputsFactoryClick()
{
    if (m_context->prompts->confirm(kFactoryRestoreCaption, kFactoryRestoreQuestion)) {
        m_context->link.SendCommand(link::CMD_FACTORY_OUTPUT_SETTINGS);
    }
}

void SettingsPage::Btn_AnalogOutCalibClick()
{
    if (m_analogCalib != nullptr) {
        m_analogCalib->showModal();
    }
}

} // namespace qmx::ui
