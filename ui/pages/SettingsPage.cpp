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
#include "ui/windows/AnalogCalibrationWindow.h"

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

/// `text` with its "%1" filled in by `value` (a text without the place, such as the empty text of
/// an identifier the lookup does not know, is left as it is).
QString fillIn(const QString& text, const QString& value)
{
    return text.contains(QStringLiteral("%1")) ? text.arg(value) : text;
}

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
                                                                  display::NumberLocale::system(), nullptr})),
      m_texts(m_context->lookupText)
{
    setObjectName(QStringLiteral("TabSheet5"));
    m_context->prompts = makeMessageBoxPrompts(this);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* settingsGroup = named(new QGroupBox(this), "GroupBox20");
    outer->addWidget(settingsGroup);
    auto* column = new QVBoxLayout(settingsGroup);
    column->setContentsMargins(2, 2, 2, 2);
    auto* settingsHeader =
        named(new HeaderBar(QString(), HeaderBar::kSmallCaption, settingsGroup), "JvNavPanelHeader18");
    m_texts.bind(settingsHeader, &HeaderBar::setCaption, "IDS_SettingsPageHeader");
    column->addWidget(settingsHeader);

    settingsTabs = named(new QTabWidget(settingsGroup), "PageControl2");
    settingsTabs->setIconSize(QSize(kTabIconSize, kTabIconSize));
    sensorPage = new SensorSettingsPage(*m_context, settingsTabs);
    communicationPage = new CommunicationPage(settingsTabs);
    outputsPage = new OutputsPage(settingsTabs);
    communicationPage->setTextLookup(m_context->lookupText);
    outputsPage->setTextLookup(m_context->lookupText);
    settingsTabs->addTab(sensorPage, imageListIcon(4), QString());
    settingsTabs->addTab(communicationPage, imageListIcon(5), QString());
    settingsTabs->addTab(outputsPage, imageListIcon(6), QString());
    m_texts.bindTab(settingsTabs, 0, "IDS_SettingsPageSensorsTab");
    m_texts.bindTab(settingsTabs, 1, "IDS_SettingsPageCommunicationTab");
    m_texts.bindTab(settingsTabs, 2, "IDS_SettingsPageOutputsTab");
    // The three inner pages show their controls in one block of the same size, so the buttons
    // at the bottom stand in the same places on every page.
    // The block takes its preferred size, but no more than the inner pages offer at the window's
    // minimum size, and never less than its controls need.
    QSize preferred;
    QSize needed;
    for (const QWidget* content : {sensorPage->content, communicationPage->content, outputsPage->content}) {
        preferred = preferred.expandedTo(content->sizeHint());
        needed = needed.expandedTo(content->minimumSizeHint());
    }
    const QSize common = preferred.boundedTo(kInnerPageSize).expandedTo(needed);
    for (QWidget* content : {sensorPage->content, communicationPage->content, outputsPage->content}) {
        content->setFixedSize(common);
    }
    // The settings open on the communication page.
    settingsTabs->setCurrentWidget(communicationPage);
    column->addWidget(settingsTabs, 1);

    filterLevelList = sensorPage->filterLevelList;
    decimalsList = sensorPage->decimalsList;
    modbusAddressList = communicationPage->modbusAddressList;
    rs485RateLabel = communicationPage->rs485RateLabel;
    ethernetRateLabel = communicationPage->ethernetRateLabel;
    out1StatusEdit = outputsPage->out1.status;
    out2StatusEdit = outputsPage->out2.status;

    connectControls();
    // The names the refusal box gives the fields follow the language as the captions do.
    m_texts.bindCustom([this](const TextBindings::Lookup&) { listCheckedIoFields(); });
}

void SettingsPage::listCheckedIoFields()
{
    using Kind = CheckedField::Kind;
    const auto name = [this](std::string_view id) { return m_context->text(id); };
    const CommunicationPage& comm = *communicationPage;
    m_checkedIoFields = {
        {comm.modbusBaudList, name("IDS_CommunicationBaudRate"), Kind::List},
        {comm.modbusAddressList, name("IDS_CommunicationDeviceAddress"), Kind::List},
        {comm.modbusParityList, name("IDS_CommunicationParity"), Kind::List},
        {comm.ipAddressEdit, name("IDS_CommunicationIpAddress"), Kind::Ipv4},
        {comm.ipMaskEdit, name("IDS_CommunicationSubnetMask"), Kind::Ipv4},
        {comm.ipGatewayEdit, name("IDS_CommunicationGateway"), Kind::Ipv4},
        {comm.macAddressEdit, name("IDS_CommunicationMacAddress"), Kind::Mac},
    };
    for (const auto& [output, row] : {std::pair{"OUT1", &outputsPage->out1}, std::pair{"OUT2", &outputsPage->out2}}) {
        const QString out = QString::fromLatin1(output);
        const std::array<CheckedField, 7> fields{{
            {row->condition, fillIn(name("IDS_SettingsFieldOutCondition"), out), Kind::List},
            {row->mode1, fillIn(name("IDS_SettingsFieldOutMode1"), out), Kind::List},
            {row->mode2, fillIn(name("IDS_SettingsFieldOutMode2"), out), Kind::List},
            {row->state, fillIn(name("IDS_SettingsFieldOutState"), out), Kind::List},
            {row->source, fillIn(name("IDS_SettingsFieldOutSource"), out), Kind::List},
            {row->number1, fillIn(name("IDS_SettingsFieldOutNumber1"), out), Kind::Real, settings::kThresholdMin,
             settings::kThresholdMax},
            {row->number2, fillIn(name("IDS_SettingsFieldOutNumber2"), out), Kind::Real, settings::kThresholdMin,
             settings::kThresholdMax},
        }};
        m_checkedIoFields.insert(m_checkedIoFields.end(), fields.begin(), fields.end());
    }
}

void SettingsPage::clearMarksOfValidFields()
{
    sensorPage->clearMarksOfValidFields();
    settingswidgets::clearMarksOfValidFields(m_checkedIoFields, m_context->locale);
}

void SettingsPage::showPageOfRefusedField()
{
    QWidget* shown = settingsTabs->currentWidget();
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
    for (QWidget* inner : {static_cast<QWidget*>(communicationPage), static_cast<QWidget*>(outputsPage)}) {
        if (first != nullptr && inner->isAncestorOf(first)) {
            settingsTabs->setCurrentWidget(inner);
            return;
        }
    }
}

SettingsPage::~SettingsPage() = default;

void SettingsPage::connectControls()
{
    link::LinkController& link = m_context->link;
    connect(&link, &link::LinkController::sensorSettingsReceived, sensorPage, &SensorSettingsPage::applySensorSettings);
    connect(&link, &link::LinkController::sensorSettingsWritten, sensorPage, &SensorSettingsPage::sensorSettingsWritten);
    connect(&link, &link::LinkController::ioSettingsReceived, this, &SettingsPage::applyIoSettings);
    connect(sensorPage, &SensorSettingsPage::unitsTextChanged, this, &SettingsPage::unitsTextChanged);

    for (QPushButton* read : {communicationPage->readIoSettingsButton, outputsPage->readOutputsButton}) {
        connect(read, &QPushButton::clicked, this, &SettingsPage::readIoSettings);
    }
    for (QPushButton* save : {communicationPage->writeIoSettingsButton, outputsPage->writeOutputsButton}) {
        connect(save, &QPushButton::clicked, this, &SettingsPage::writeIoSettings);
    }
    connect(communicationPage->communicationDefaultsButton, &QPushButton::clicked, this, &SettingsPage::restoreCommunicationDefaults);
    connect(outputsPage->outputsDefaultsButton, &QPushButton::clicked, this, &SettingsPage::restoreOutputsDefaults);
    connect(outputsPage->analogCalibrationButton, &QPushButton::clicked, this, &SettingsPage::showAnalogCalibration);
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

void SettingsPage::setAnalogCalibrationWindow(AnalogCalibrationWindow* window)
{
    m_analogCalib = window;
    if (m_analogCalib != nullptr) {
        m_analogCalib->attachLink(&m_context->link);
        m_analogCalib->setNumberLocale(m_context->locale);
    }
}

void SettingsPage::fillModbusAddressList()
{
    modbusAddressList->clear();
    modbusAddressList->addItems(settings::modbusAddressItems());
    modbusAddressList->setCurrentIndex(0);
}

const QString& SettingsPage::unitsText() const
{
    return sensorPage->unitsText();
}

int SettingsPage::Decp() const
{
    return sensorPage->Decp();
}

void SettingsPage::adRateChanged()
{
    sensorPage->adRateChanged();
}

void SettingsPage::applyIoSettings(const QByteArray& frame)
{
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                                 static_cast<std::size_t>(frame.size()));
    const auto decoded = settings::decodeIoSettings(bytes);
    if (!decoded) {
        return; // too short to hold the record: nothing is read past its end
    }
    const settings::IoSettings& io = *decoded;
    CommunicationPage& comm = *communicationPage;

    // Baud rate and parity are read as signed bytes: a byte of 128 or more leaves the list
    // without a selection, a small positive one outside the list leaves it as it was.
    const auto baud = static_cast<std::int8_t>(io.Baudrate);
    if (baud < static_cast<int>(settings::kModbusBaudItems.size())) {
        selectOrClear(comm.modbusBaudList, baud);
    }
    if (io.Address > 0) {
        selectOrClear(comm.modbusAddressList, io.Address - 1);
    }
    const auto parity = static_cast<std::int8_t>(io.Parity);
    if (parity < static_cast<int>(settings::kModbusParityItems.size())) {
        selectOrClear(comm.modbusParityList, parity);
    }

    m_network = {io.IP, io.Mask, io.Gate, io.MAC};
    comm.ipAddressEdit->setText(settings::IpToText(m_network.IP));
    comm.ipMaskEdit->setText(settings::IpToText(m_network.Mask));
    comm.ipGatewayEdit->setText(settings::IpToText(m_network.Gate));
    comm.macAddressEdit->setText(settings::MacToText(m_network.MAC));

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
    applyRow(io.Out1, outputsPage->out1);
    applyRow(io.Out2, outputsPage->out2);

    outputsPage->stabilityIndicatorCheck->setChecked((io.IndicatorFlags & settings::kOut1StabFlag) != 0);
    outputsPage->overloadIndicatorCheck->setChecked((io.IndicatorFlags & settings::kOut2OverloadFlag) != 0);
    outputsPage->stabilityIndicatorToggled();
    outputsPage->overloadIndicatorToggled();
    settingswidgets::clearMarksOfValidFields(m_checkedIoFields, locale);
    // The link sends the link-state request next.
}

bool SettingsPage::readNetworkTexts()
{
    // The first text that cannot be read ends the write: it is marked, the rest stay unchecked.
    const CommunicationPage& comm = *communicationPage;
    return convertAddress(comm.ipAddressEdit, m_network.IP, settings::TextToIp) &&
           convertAddress(comm.ipMaskEdit, m_network.Mask, settings::TextToIp) &&
           convertAddress(comm.ipGatewayEdit, m_network.Gate, settings::TextToIp) &&
           convertAddress(comm.macAddressEdit, m_network.MAC, settings::TextToMac);
}

void SettingsPage::writeIoSettings()
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

    const CommunicationPage& comm = *communicationPage;
    settings::IoSettings io;
    io.Baudrate = listIndex(comm.modbusBaudList);
    const int addressIndex = checkListSelection(comm.modbusAddressList);
    if (addressIndex < 0 || addressIndex + 1 > settings::kModbusAddressMax) {
        markRefused(comm.modbusAddressList, true);
        refused = true;
    } else {
        io.Address = static_cast<std::uint8_t>(addressIndex + 1);
    }
    io.Parity = listIndex(comm.modbusParityList);

    if (!readNetworkTexts()) {
        // No message, as before; but the marked address is put in front of the user.
        settingsTabs->setCurrentWidget(communicationPage);
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
    readRow(outputsPage->out1, io.Out1);
    readRow(outputsPage->out2, io.Out2);
    io.IndicatorFlags = static_cast<std::uint8_t>(
        (outputsPage->stabilityIndicatorCheck->isChecked() ? settings::kOut1StabFlag : 0) |
        (outputsPage->overloadIndicatorCheck->isChecked() ? settings::kOut2OverloadFlag : 0));

    if (refused) {
        showPageOfRefusedField();
        // The caption is "Warning" in both languages, as on the sensor page.
        m_context->prompts->warning(m_context->text("IDS_68"), refusalText(*m_context, m_checkedIoFields));
        return;
    }
    // New Ethernet parameters take effect only after a restart of the transducer; the user is
    // told so before every write, and the write waits until the notice is closed.
    m_context->prompts->information(m_context->text("IDS_SettingsPageEthernetCaption"),
                                    m_context->text("IDS_SettingsPageEthernetNotice"));
    const auto frame = settings::encodeIoSettingsRequest(io);
    m_context->link.suspendPollForRequest();
    m_context->link.sendReport(frame);
}

void SettingsPage::readIoSettings()
{
    m_context->link.sendCommand(link::CMD_GET_IO_SETTINGS);
}

void SettingsPage::restoreCommunicationDefaults()
{
    if (m_context->confirmFactoryRestore()) {
        m_context->link.sendCommand(link::CMD_FACTORY_COMM_SETTINGS);
    }
}

void SettingsPage::restoreOutputsDefaults()
{
    if (m_context->confirmFactoryRestore()) {
        m_context->link.sendCommand(link::CMD_FACTORY_OUTPUT_SETTINGS);
    }
}

void SettingsPage::showAnalogCalibration()
{
    if (m_analogCalib != nullptr) {
        m_analogCalib->showModal();
    }
}

void SettingsPage::retranslate()
{
    m_texts.apply();
    sensorPage->retranslate();
    communicationPage->retranslate();
    outputsPage->retranslate();
}

} // namespace qmx::ui
