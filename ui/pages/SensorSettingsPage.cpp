#include "SensorSettingsPage.h"

#include "SettingsContext.h"
#include "SettingsWidgets.h"

#include "link/Protocol.h"
#include "settings/core/ListItems.h"
#include "settings/validation/FieldValidation.h"
#include "settings/validation/SensorPageTexts.h"
#include "ui/icons/Icons.h"
#include "ui/widgets/HeaderBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace qmx::ui {

using namespace settingswidgets;

namespace {

constexpr int kStartRateIndex = 2; // "16 / sek "
constexpr std::array<const char*, 4> kSensorHeaderNames{"JvNavPanelHeader14", "JvNavPanelHeader11",
                                                        "JvNavPanelHeader12", "JvNavPanelHeader13"};
constexpr std::array<std::uint8_t, 4> kZeroCommands{link::CMD_ZERO_SENSOR1, link::CMD_ZERO_SENSOR2,
                                                    link::CMD_ZERO_SENSOR3, link::CMD_ZERO_SENSOR4};
const QString kResponseTooltip = QStringLiteral("Czas odpowiedzi kanału przy zmianie siły");

QLabel* boldLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = named(new QLabel(text, parent), name);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption)
{
    return named(new QGroupBox(caption, parent), name);
}

} // namespace

SensorSettingsPage::SensorSettingsPage(SettingsContext& context, QWidget* parent)
    : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("TabSheet6"));
    GroupBox12 = groupBox(this, "GroupBox12", QString());
    // The group fills the page; the controls keep their size and place at its top left.
    auto* column = topLeftBlock(this, GroupBox12, content);
    column->addWidget(buildSumBox());
    auto* middle = new QHBoxLayout;
    middle->addWidget(buildFilterBox());
    middle->addWidget(buildStabilityBox());
    middle->addWidget(buildUnitsBox());
    column->addLayout(middle);
    column->addWidget(buildSensorsBox());
    column->addStretch(1);
    // Tighter than the style's defaults: the page has to fit the window's minimum height.
    column->setSpacing(4);
    for (QGroupBox* group : {GroupBox7, GroupBox8, GroupBox22, GroupBox9, GroupBox10}) {
        group->layout()->setContentsMargins(6, 4, 6, 4);
    }

    auto* buttons = new QHBoxLayout;
    Btn_ReadTensSettings = makeButton(GroupBox12, "Btn_ReadTensSettings", QStringLiteral("&Odczytaj"));
    Btn_SetTensSettings = makeButton(GroupBox12, "Btn_SetTensSettings", QStringLiteral("&Zapisz"));
    Button_TensSettingFactory =
        makeButton(GroupBox12, "Button_TensSettingFactory", QStringLiteral("Przywróć fabryczne"));
    Btn_ReadTensSettings->setIcon(buttonIcon(ButtonPicture::Read));
    Btn_SetTensSettings->setIcon(buttonIcon(ButtonPicture::Save));
    Button_TensSettingFactory->setIcon(buttonIcon(ButtonPicture::Factory));
    buttons->addWidget(Btn_ReadTensSettings);
    buttons->addStretch(1);
    buttons->addWidget(Btn_SetTensSettings);
    buttons->addStretch(1);
    buttons->addWidget(Button_TensSettingFactory);
    column->addLayout(buttons);

    connectControls();
    listCheckedFields();
}

void SensorSettingsPage::listCheckedFields()
{
    using Kind = CheckedField::Kind;
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        const QString sensor = QStringLiteral(" (Czujnik %1)").arg(i + 1);
        m_checkedFields.push_back({sensors[i].range, QStringLiteral("Zakres czujnika [N]") + sensor, Kind::Integer,
                                   static_cast<double>(settings::kRangeMin), static_cast<double>(settings::kRangeMax)});
        m_checkedFields.push_back({sensors[i].sens, QStringLiteral("Stała czujnika [mV/V]") + sensor, Kind::Real,
                                   settings::kSensMin, settings::kSensMax});
    }
    m_checkedFields.push_back({Cb_FiltLevel, QStringLiteral("Poziom filtracji"), Kind::List});
    m_checkedFields.push_back({Cb_AdRate, QStringLiteral("Częstliwosc pomiarów"), Kind::List});
    m_checkedFields.push_back({Edit_StabilityMaxDifference, QStringLiteral("Maks. różnica"), Kind::Real,
                               settings::kStabMaxDiffMin, settings::kStabMaxDiffMax});
    m_checkedFields.push_back(
        {Edit_StabiliySamplesNo, QStringLiteral("Ilość próbek"), Kind::Integer, 0.0, settings::kStabSamplesMax});
    m_checkedFields.push_back({Cb_Units, QStringLiteral("Jednostki"), Kind::List});
    m_checkedFields.push_back({Cb_SelTens, QStringLiteral("Sumowane kanały"), Kind::List});
    m_checkedFields.push_back(
        {Edit_SumOffset, QStringLiteral("Offset"), Kind::Real, settings::kSumOffsetMin, settings::kSumOffsetMax});
}

QGroupBox* SensorSettingsPage::buildSumBox()
{
    GroupBox7 = groupBox(GroupBox12, "GroupBox7", QStringLiteral("Wartość sumaryczna:"));
    auto* grid = new QGridLayout(GroupBox7);
    auto* selCaption = boldLabel(GroupBox7, "Label_SelTens", QStringLiteral("Sumowane kanały:"));
    Cb_SelTens = makeList(GroupBox7, "Cb_SelTens", settings::kSelTensItems);
    Cb_SelTens->setToolTip(QStringLiteral("Określa ilość aktywnych weść czujników siły"));
    Edit_SumOffset = makeEdit(GroupBox7, "Edit_SumOffset");
    Btn_SumTara = makeButton(GroupBox7, "Btn_SumTara", QStringLiteral("Tara"));
    Btn_SumTara->setIcon(buttonIcon(ButtonPicture::Tare));
    Lab_SummaryValInfo = named(new QLabel(QStringLiteral("Wartosc sumaryczna"), GroupBox7), "Lab_SummaryValInfo");
    grid->addWidget(selCaption, 0, 0);
    grid->addWidget(Cb_SelTens, 0, 1);
    grid->addWidget(makeLabel(GroupBox7, QStringLiteral("Offset:")), 0, 2, Qt::AlignRight);
    grid->addWidget(Edit_SumOffset, 0, 3);
    grid->setColumnStretch(4, 1);
    grid->addWidget(Btn_SumTara, 0, 5);
    auto* formula = new QHBoxLayout;
    formula->addWidget(makeLabel(GroupBox7, QStringLiteral("Wartosc sumaryczna = ")));
    formula->addWidget(Lab_SummaryValInfo, 1);
    grid->addLayout(formula, 1, 0, 1, 6);
    return GroupBox7;
}

QGroupBox* SensorSettingsPage::buildFilterBox()
{
    GroupBox8 = groupBox(GroupBox12, "GroupBox8", QStringLiteral("Filtracja pomiarów"));
    auto* grid = new QGridLayout(GroupBox8);
    Label_DataFreq = named(new QLabel(QStringLiteral("Częstliwosc pomiarów: "), GroupBox8), "Label_DataFreq");
    Label_DataFreq->setToolTip(QStringLiteral("Czestotliwosc próbkowania / kanał"));
    Cb_AdRate = makeList(GroupBox8, "Cb_AdRate", settings::kAdRateItems, kStartRateIndex);
    Cb_FiltLevel = makeList(GroupBox8, "Cb_FiltLevel", settings::kFiltLevelItems);
    Cb_FiltLevel->setToolTip(QStringLiteral("Poziom ciągłego filtru uśredniającego."));
    Label_ResponseDelay = boldLabel(GroupBox8, "Label_ResponseDelay", QStringLiteral("0"));
    Label_ResponseDelay->setToolTip(kResponseTooltip);
    grid->addWidget(Label_DataFreq, 0, 0);
    grid->addWidget(Cb_AdRate, 0, 1);
    grid->addWidget(makeLabel(GroupBox8, QStringLiteral("Poziom filtracji:")), 1, 0);
    grid->addWidget(Cb_FiltLevel, 1, 1);
    grid->addWidget(makeLabel(GroupBox8, QStringLiteral("Czas ustalania")), 2, 0);
    grid->addWidget(Label_ResponseDelay, 2, 1);
    return GroupBox8;
}

QGroupBox* SensorSettingsPage::buildStabilityBox()
{
    GroupBox22 = groupBox(GroupBox12, "GroupBox22", QStringLiteral("Pomiar stabilności"));
    auto* grid = new QGridLayout(GroupBox22);
    Edit_StabilityMaxDifference = makeEdit(GroupBox22, "Edit_StabilityMaxDifference");
    Edit_StabiliySamplesNo = makeEdit(GroupBox22, "Edit_StabiliySamplesNo");
    Label_StabilitySettingTime = boldLabel(GroupBox22, "Label_StabilitySettingTime", QStringLiteral("0"));
    Label_StabilitySettingTime->setToolTip(kResponseTooltip);
    grid->addWidget(makeLabel(GroupBox22, QStringLiteral("Maks. różnica")), 0, 0);
    grid->addWidget(Edit_StabilityMaxDifference, 0, 1);
    grid->addWidget(makeLabel(GroupBox22, QStringLiteral("Ilość próbek:")), 1, 0);
    grid->addWidget(Edit_StabiliySamplesNo, 1, 1);
    grid->addWidget(makeLabel(GroupBox22, QStringLiteral("Czas ustalania")), 2, 0);
    grid->addWidget(Label_StabilitySettingTime, 2, 1);
    return GroupBox22;
}

QGroupBox* SensorSettingsPage::buildUnitsBox()
{
    GroupBox9 = groupBox(GroupBox12, "GroupBox9", QStringLiteral("Jednostki pomiarów"));
    auto* grid = new QGridLayout(GroupBox9);
    Cb_Units = makeList(GroupBox9, "Cb_Units", settings::kUnitsItems);
    Cb_Decp = makeList(GroupBox9, "Cb_Decp", settings::kDecpItems);
    grid->addWidget(makeLabel(GroupBox9, QStringLiteral("Jednostki:")), 0, 0);
    grid->addWidget(Cb_Units, 0, 1);
    grid->addWidget(makeLabel(GroupBox9, QStringLiteral("Przecinek:")), 1, 0);
    grid->addWidget(Cb_Decp, 1, 1);
    grid->setRowStretch(2, 1);
    return GroupBox9;
}

QGroupBox* SensorSettingsPage::buildSensorsBox()
{
    GroupBox10 = groupBox(GroupBox12, "GroupBox10", QStringLiteral("Ustawienia czujników"));
    auto* row = new QHBoxLayout(GroupBox10);

    // The row captions sit in a box of their own, laid out like the sensor columns, so that the
    // rows of both line up whatever the style's frame sizes are.
    auto* captionBox = new QGroupBox(GroupBox10);
    auto* captions = new QGridLayout(captionBox);
    captions->addWidget(makeLabel(captionBox, QStringLiteral("Wartość aktualna:")), 1, 0);
    captions->addWidget(makeLabel(captionBox, QStringLiteral("Zakres czujnika [N]:")), 2, 0);
    captions->addWidget(makeLabel(captionBox, QStringLiteral("Stała czujnika [mV/V]:")), 3, 0);
    BitBtn4 = makeButton(captionBox, "BitBtn4", QStringLiteral("Zero 1 2 3 4"));
    BitBtn4->setIcon(buttonIcon(ButtonPicture::Zero));
    captions->addWidget(BitBtn4, 5, 0);
    row->addWidget(captionBox);

    std::vector<QGridLayout*> grids{captions};
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        const QString n = QString::number(i + 1);
        SensorColumn& s = sensors[i];
        s.box = new QGroupBox(GroupBox10);
        s.box->setObjectName(QStringLiteral("GroupBox_Tens") + n);
        auto* grid = new QGridLayout(s.box);
        s.header = named(new HeaderBar(QStringLiteral("Czujnik ") + n, HeaderBar::kSmallCaption, s.box),
                         kSensorHeaderNames[i]);
        s.valueLabel = new QLabel(QStringLiteral("0"), s.box);
        s.valueLabel->setObjectName(QStringLiteral("Label_ValTens") + n);
        s.range = new QLineEdit(QStringLiteral("0"), s.box);
        s.range->setObjectName(QStringLiteral("Edit_TRange") + n);
        s.sens = new QLineEdit(QStringLiteral("0"), s.box);
        s.sens->setObjectName(QStringLiteral("Edit_TSens") + n);
        s.sign = new QCheckBox(QStringLiteral("Odwróć znak"), s.box);
        s.sign->setObjectName(QStringLiteral("CB_Tens%1Sign").arg(n));
        s.zero = new QPushButton(buttonIcon(ButtonPicture::Zero), QStringLiteral("Zero"), s.box);
        s.zero->setObjectName(QStringLiteral("Btn_Tens%1Zero").arg(n));
        grid->addWidget(s.header, 0, 0);
        grid->addWidget(s.valueLabel, 1, 0);
        grid->addWidget(s.range, 2, 0);
        grid->addWidget(s.sens, 3, 0);
        grid->addWidget(s.sign, 4, 0);
        grid->addWidget(s.zero, 5, 0);
        row->addWidget(s.box, 1);
        grids.push_back(grid);
    }
    // Every row gets the height of its tallest control in any column.
    const int header = sensors[0].header->sizeHint().height();
    const int line = std::max({sensors[0].range->sizeHint().height(), sensors[0].sign->sizeHint().height(),
                               sensors[0].zero->sizeHint().height(), BitBtn4->sizeHint().height()});
    for (QGridLayout* grid : grids) {
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setVerticalSpacing(4);
        grid->setRowMinimumHeight(0, header);
        for (int r = 1; r <= 5; ++r) {
            grid->setRowMinimumHeight(r, line);
        }
    }
    return GroupBox10;
}

void SensorSettingsPage::connectControls()
{
    connect(Btn_SetTensSettings, &QPushButton::clicked, this, &SensorSettingsPage::Btn_SetTensSettingsClick);
    connect(Btn_ReadTensSettings, &QPushButton::clicked, this, &SensorSettingsPage::Btn_ReadTensSettingsClick);
    connect(Button_TensSettingFactory, &QPushButton::clicked, this,
            &SensorSettingsPage::Button_TensSettingFactoryClick);
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        connect(sensors[i].zero, &QPushButton::clicked, this,
                [this, i] { Btn_TensZeroClick(static_cast<int>(i) + 1); });
    }
    connect(BitBtn4, &QPushButton::clicked, this, &SensorSettingsPage::BitBtn4Click);
    connect(Btn_SumTara, &QPushButton::clicked, this, &SensorSettingsPage::Btn_SumTaraClick);
    // Only the user's choice runs the change reactions; lists filled from a reply or a settings
    // file are followed by the derived updates explicitly.
    connect(Cb_AdRate, &QComboBox::activated, this, &SensorSettingsPage::Cb_AdRateChange);
    connect(Cb_FiltLevel, &QComboBox::activated, this, &SensorSettingsPage::Cb_AdRateChange);
    connect(Cb_SelTens, &QComboBox::activated, this, &SensorSettingsPage::Cb_SelTensChange);
    Edit_StabilityMaxDifference->installEventFilter(this);
    Edit_StabiliySamplesNo->installEventFilter(this);
}

bool SensorSettingsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut &&
        (watched == Edit_StabilityMaxDifference || watched == Edit_StabiliySamplesNo)) {
        Edit_StabiliySamplesNoExit();
    }
    return QWidget::eventFilter(watched, event);
}

int SensorSettingsPage::Decp() const
{
    return std::max(0, Cb_Decp->currentIndex());
}

void SensorSettingsPage::ApplySensorSettings(const QByteArray& frame)
{
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(frame.constData()),
                                 static_cast<std::size_t>(frame.size()));
    const auto decoded = settings::decodeSensorSettings(bytes);
    if (!decoded) {
        return; // too short to hold the record: nothing is read past its end
    }
    m_settings = *decoded;
    const auto& locale = m_context.locale;
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        sensors[i].range->setText(display::IntegerText(m_settings.Range[i]));
        sensors[i].sens->setText(
            settings::settingText(m_settings.Sens[i], settings::kFieldPrecision, settings::kSensDecimals, locale));
        sensors[i].sign->setChecked((m_settings.SignBits & (1U << i)) != 0);
    }
    if (m_settings.Filter < settings::kFiltLevelItems.size()) {
        Cb_FiltLevel->setCurrentIndex(m_settings.Filter);
    }
    if (m_settings.Rate < settings::kAdRateItems.size()) {
        Cb_AdRate->setCurrentIndex(m_settings.Rate);
    }
    Edit_StabilityMaxDifference->setText(
        settings::settingText(m_settings.StabMaxDiff, settings::kStabMaxDiffPrecision, Decp(), locale));
    Edit_StabiliySamplesNo->setText(display::IntegerText(m_settings.StabSamplesNo));
    if (m_settings.Units < settings::kUnitsItems.size()) {
        Cb_Units->setCurrentIndex(m_settings.Units);
    }
    if (m_settings.SelTens < settings::kSelTensItems.size()) {
        Cb_SelTens->setCurrentIndex(m_settings.SelTens);
    }
    Edit_SumOffset->setText(settings::settingText(m_settings.SumOffset, settings::kFieldPrecision, Decp(), locale));

    UpdateUnitsText();
    UpdateResponseDelay();
    Edit_StabiliySamplesNoExit();
    Cb_SelTensChange();
    refreshStabilityTime(m_settings.StabSamplesNo);
    UpdateResponseDelay();
    clearMarksOfValidFields();
    // The link asks for the communication and output settings next.
}

void SensorSettingsPage::sensorSettingsWritten()
{
    // The link has shown the status text and asks for the settings again after this.
    UpdateUnitsText();
    Cb_AdRateChange();
}

void SensorSettingsPage::Btn_SetTensSettingsClick()
{
    // The settling time follows the typed sample count even when the count will be refused; a
    // text that is no whole number at all ends the write with the conversion error.
    const QString samplesText = Edit_StabiliySamplesNo->text();
    const auto samples = settings::StrToInt(samplesText);
    if (!samples) {
        m_context.prompts->error(settings::notAnIntegerText(samplesText));
        return;
    }
    refreshStabilityTime(*samples);

    const auto& locale = m_context.locale;
    bool refused = false;
    m_settings.SignBits = 0;
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        const SensorColumn& s = sensors[i];
        const auto range = checkIntegerField(s.range, settings::kRangeMin, settings::kRangeMax);
        if (range.ok) {
            m_settings.Range[i] = range.value;
        }
        const auto sens = checkRealField(s.sens, settings::kSensDecimals, settings::kSensMin, settings::kSensMax, locale);
        if (sens.ok) {
            m_settings.Sens[i] = sens.value;
        }
        refused = refused || !range.ok || !sens.ok;
        if (s.sign->isChecked()) {
            m_settings.SignBits |= static_cast<std::uint8_t>(1U << i);
        }
    }
    // A list without a selection (only a damaged settings file leaves one) is refused like a bad
    // field: the transducer must never receive an index outside its lists.
    const auto takeIndex = [&refused](QComboBox* list, std::uint8_t& field) {
        const int index = checkListSelection(list);
        if (index < 0) {
            refused = true;
        } else {
            field = static_cast<std::uint8_t>(index);
        }
    };
    takeIndex(Cb_FiltLevel, m_settings.Filter);
    takeIndex(Cb_AdRate, m_settings.Rate);
    const auto maxDiff = checkRealField(Edit_StabilityMaxDifference, Decp(), settings::kStabMaxDiffMin,
                                        settings::kStabMaxDiffMax, locale);
    if (maxDiff.ok) {
        m_settings.StabMaxDiff = maxDiff.value;
    }
    const auto stabSamples = checkIntegerField(Edit_StabiliySamplesNo, 0, settings::kStabSamplesMax);
    if (stabSamples.ok) {
        m_settings.StabSamplesNo = static_cast<std::uint16_t>(stabSamples.value);
    }
    takeIndex(Cb_Units, m_settings.Units);
    takeIndex(Cb_SelTens, m_settings.SelTens);
    const auto offset = checkRealField(Edit_SumOffset, Decp(), settings::kSumOffsetMin, settings::kSumOffsetMax, locale);
    if (offset.ok) {
        m_settings.SumOffset = offset.value;
    }
    refused = refused || !maxDiff.ok || !stabSamples.ok || !offset.ok;

    if (refused) {
        m_context.prompts->warning(m_context.text("IDS_68"),
                                   settings::refusalBoxText(m_context.text("IDS_67"),
                                                            refusedFieldLines(m_checkedFields, locale)));
        return;
    }
    const auto frame = settings::encodeSensorSettingsRequest(m_settings);
    m_context.link.suspendPollForRequest();
    m_context.link.SendReport(frame);
}

void SensorSettingsPage::Btn_ReadTensSettingsClick()
{
    m_context.link.SendCommand(link::CMD_GET_SENSOR_SETTINGS);
}

void SensorSettingsPage::Button_TensSettingFactoryClick()
{
    // The restore wipes ranges and sensor constants: it is asked first, as on the other pages.
    if (m_context.prompts->confirm(kFactoryRestoreCaption, kFactoryRestoreQuestion)) {
        m_context.link.SendCommand(link::CMD_FACTORY_SENSOR_SETTINGS);
    }
}

void SensorSettingsPage::Btn_TensZeroClick(int sensor)
{
    if (sensor >= 1 && sensor <= 4) {
        m_context.link.SendCommand(kZeroCommands[static_cast<std::size_t>(sensor - 1)]);
    }
}

void SensorSettingsPage::BitBtn4Click()
{
    m_context.link.SendCommand(link::CMD_ZERO_ALL_SENSORS);
}

void SensorSettingsPage::Btn_SumTaraClick()
{
    m_context.link.SendCommand(link::CMD_TARE_SUM);
}

void SensorSettingsPage::Cb_AdRateChange()
{
    UpdateResponseDelay();
    Edit_StabiliySamplesNoExit();
}

void SensorSettingsPage::UpdateResponseDelay()
{
    if (const auto text =
            settings::responseDelayText(Cb_FiltLevel->currentIndex(), Cb_AdRate->currentIndex(), m_context.locale)) {
        Label_ResponseDelay->setText(*text);
    }
}

void SensorSettingsPage::Edit_StabiliySamplesNoExit()
{
    const auto samples = checkIntegerField(Edit_StabiliySamplesNo, 0, settings::kStabSamplesMax);
    if (!samples.ok) {
        return;
    }
    m_settings.StabSamplesNo = static_cast<std::uint16_t>(samples.value);
    refreshStabilityTime(samples.value);
}

void SensorSettingsPage::refreshStabilityTime(int samples)
{
    if (const auto text = settings::stabilityTimeText(samples, Cb_AdRate->currentIndex(), m_context.locale)) {
        Label_StabilitySettingTime->setText(*text);
    }
}

void SensorSettingsPage::Cb_SelTensChange()
{
    if (const auto id = settings::sumFormulaId(Cb_SelTens->currentIndex())) {
        Lab_SummaryValInfo->setText(m_context.text(*id));
    }
}

void SensorSettingsPage::clearMarksOfValidFields()
{
    settingswidgets::clearMarksOfValidFields(m_checkedFields, m_context.locale);
}

void SensorSettingsPage::UpdateUnitsText()
{
    const int index = Cb_Units->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= settings::kUnitsSuffixes.size()) {
        return;
    }
    const auto suffix = settings::unitsSuffix(static_cast<std::uint8_t>(index));
    const QString text = QString::fromUtf8(suffix.data(), static_cast<qsizetype>(suffix.size()));
    if (text != m_unitsText) {
        m_unitsText = text;
        emit unitsTextChanged(m_unitsText);
    }
}

} // namespace qmx::ui
