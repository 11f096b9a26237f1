#include "SensorSettingsPage.h"

#include "SettingsContext.h"
#include "SettingsWidgets.h"

#include "link/Protocol.h"
#include "settings/core/ListItems.h"
#include "settings/validation/FieldValidation.h"
#include "settings/validation/SensorPageTexts.h"
#include "ui/icons/Icons.h"
#include "ui/widgets/HeaderBar.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
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
/// `text` with its "%1" filled in by `value` (a text without the place, such as the empty text of
/// an identifier the lookup does not know, is left as it is).
QString fillIn(const QString& text, const QString& value)
{
    return text.contains(QStringLiteral("%1")) ? text.arg(value) : text;
}

QLabel* boldLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = named(new QLabel(text, parent), name);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

QGroupBox* groupBox(QWidget* parent, const char* name)
{
    return named(new QGroupBox(parent), name);
}

} // namespace

SensorSettingsPage::SensorSettingsPage(SettingsContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_texts(context.lookupText)
{
    setObjectName(QStringLiteral("TabSheet6"));
    sensorInputsGroup = groupBox(this, "GroupBox12");
    // The group fills the page; the controls keep their size and place at its top left.
    auto* column = topLeftBlock(this, sensorInputsGroup, content);
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
    for (QGroupBox* group : {sumGroup, filterGroup, stabilityGroup, unitsGroup, sensorSettingsGroup}) {
        group->layout()->setContentsMargins(6, 4, 6, 4);
    }

    auto* buttons = new QHBoxLayout;
    readSensorSettingsButton = makeButton(sensorInputsGroup, "Btn_ReadTensSettings", QString());
    writeSensorSettingsButton = makeButton(sensorInputsGroup, "Btn_SetTensSettings", QString());
    sensorDefaultsButton = makeButton(sensorInputsGroup, "Button_TensSettingFactory", QString());
    m_texts.bind(readSensorSettingsButton, &QAbstractButton::setText, "IDS_SettingsRead");
    m_texts.bind(writeSensorSettingsButton, &QAbstractButton::setText, "IDS_SettingsWrite");
    m_texts.bind(sensorDefaultsButton, &QAbstractButton::setText, "IDS_SettingsFactoryDefaults");
    readSensorSettingsButton->setIcon(buttonIcon(ButtonPicture::Read));
    writeSensorSettingsButton->setIcon(buttonIcon(ButtonPicture::Save));
    sensorDefaultsButton->setIcon(buttonIcon(ButtonPicture::Factory));
    buttons->addWidget(readSensorSettingsButton);
    buttons->addStretch(1);
    buttons->addWidget(writeSensorSettingsButton);
    buttons->addStretch(1);
    buttons->addWidget(sensorDefaultsButton);
    column->addLayout(buttons);

    connectControls();
    // The names the refusal box gives the fields follow the language as the captions do.
    m_texts.bindCustom([this](const TextBindings::Lookup&) { listCheckedFields(); });
    m_texts.bindCustom([this](const TextBindings::Lookup& text) { showSumFormula(text); });
}

void SensorSettingsPage::retranslate()
{
    m_texts.apply();
}

void SensorSettingsPage::listCheckedFields()
{
    using Kind = CheckedField::Kind;
    const auto name = [this](std::string_view id) { return m_context.text(id); };
    m_checkedFields.clear();
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        const QString number = QString::number(i + 1);
        m_checkedFields.push_back({sensors[i].range, fillIn(name("IDS_SensorFieldRange"), number), Kind::Integer,
                                   static_cast<double>(settings::kRangeMin), static_cast<double>(settings::kRangeMax)});
        m_checkedFields.push_back({sensors[i].sens, fillIn(name("IDS_SensorFieldSens"), number), Kind::Real,
                                   settings::kSensMin, settings::kSensMax});
    }
    m_checkedFields.push_back({filterLevelList, name("IDS_SensorFieldFilterLevel"), Kind::List});
    m_checkedFields.push_back({adRateList, name("IDS_SensorFieldRate"), Kind::List});
    m_checkedFields.push_back({stabilityMaxDifferenceEdit, name("IDS_SensorPageMaxDifference"), Kind::Real,
                               settings::kStabMaxDiffMin, settings::kStabMaxDiffMax});
    m_checkedFields.push_back(
        {stabilitySamplesEdit, name("IDS_SensorFieldSamples"), Kind::Integer, 0.0, settings::kStabSamplesMax});
    m_checkedFields.push_back({unitsList, name("IDS_SensorFieldUnits"), Kind::List});
    m_checkedFields.push_back({sumSelectionList, name("IDS_SensorFieldSumChannels"), Kind::List});
    m_checkedFields.push_back(
        {sumOffsetEdit, name("IDS_SensorFieldOffset"), Kind::Real, settings::kSumOffsetMin, settings::kSumOffsetMax});
}

QGroupBox* SensorSettingsPage::buildSumBox()
{
    sumGroup = groupBox(sensorInputsGroup, "GroupBox7");
    m_texts.bind(sumGroup, &QGroupBox::setTitle, "IDS_SensorPageSumGroup");
    auto* grid = new QGridLayout(sumGroup);
    auto* selCaption = boldLabel(sumGroup, "Label_SelTens", QString());
    m_texts.bind(selCaption, &QLabel::setText, "IDS_SensorPageSumChannels");
    sumSelectionList = makeList(sumGroup, "Cb_SelTens", settings::kSelTensItems);
    m_texts.bind(sumSelectionList, &QWidget::setToolTip, "IDS_SensorPageSumChannelsTip");
    sumOffsetEdit = makeEdit(sumGroup, "Edit_SumOffset");
    sumTareButton = makeButton(sumGroup, "Btn_SumTara", QString());
    m_texts.bind(sumTareButton, &QAbstractButton::setText, "IDS_SensorPageTare");
    sumTareButton->setIcon(buttonIcon(ButtonPicture::Tare));
    sumFormulaLabel = named(new QLabel(sumGroup), "Lab_SummaryValInfo");
    grid->addWidget(selCaption, 0, 0);
    grid->addWidget(sumSelectionList, 0, 1);
    grid->addWidget(caption(sumGroup, "IDS_SensorPageOffset"), 0, 2, Qt::AlignRight);
    grid->addWidget(sumOffsetEdit, 0, 3);
    grid->setColumnStretch(4, 1);
    grid->addWidget(sumTareButton, 0, 5);
    auto* formula = new QHBoxLayout;
    formula->addWidget(caption(sumGroup, "IDS_SensorPageSumFormula"));
    formula->addWidget(sumFormulaLabel, 1);
    grid->addLayout(formula, 1, 0, 1, 6);
    return sumGroup;
}

QGroupBox* SensorSettingsPage::buildFilterBox()
{
    filterGroup = groupBox(sensorInputsGroup, "GroupBox8");
    m_texts.bind(filterGroup, &QGroupBox::setTitle, "IDS_SensorPageFilterGroup");
    auto* grid = new QGridLayout(filterGroup);
    dataRateLabel = named(new QLabel(filterGroup), "Label_DataFreq");
    m_texts.bind(dataRateLabel, &QLabel::setText, "IDS_SensorPageRate");
    m_texts.bind(dataRateLabel, &QWidget::setToolTip, "IDS_SensorPageRateTip");
    adRateList = makeList(filterGroup, "Cb_AdRate", settings::kAdRateItems, kStartRateIndex);
    settingswidgets::bindListItems(m_texts, adRateList, settings::kAdRateItems, settings::kAdRateItemIds);
    filterLevelList = makeList(filterGroup, "Cb_FiltLevel", settings::kFiltLevelItems);
    m_texts.bind(filterLevelList, &QWidget::setToolTip, "IDS_SensorPageFilterLevelTip");
    responseDelayLabel = boldLabel(filterGroup, "Label_ResponseDelay", QStringLiteral("0"));
    m_texts.bind(responseDelayLabel, &QWidget::setToolTip, "IDS_SensorPageResponseTip");
    grid->addWidget(dataRateLabel, 0, 0);
    grid->addWidget(adRateList, 0, 1);
    grid->addWidget(caption(filterGroup, "IDS_SensorPageFilterLevel"), 1, 0);
    grid->addWidget(filterLevelList, 1, 1);
    grid->addWidget(caption(filterGroup, "IDS_SensorPageSettlingTime"), 2, 0);
    grid->addWidget(responseDelayLabel, 2, 1);
    return filterGroup;
}

QGroupBox* SensorSettingsPage::buildStabilityBox()
{
    stabilityGroup = groupBox(sensorInputsGroup, "GroupBox22");
    m_texts.bind(stabilityGroup, &QGroupBox::setTitle, "IDS_SensorPageStabilityGroup");
    auto* grid = new QGridLayout(stabilityGroup);
    stabilityMaxDifferenceEdit = makeEdit(stabilityGroup, "Edit_StabilityMaxDifference");
    stabilitySamplesEdit = makeEdit(stabilityGroup, "Edit_StabiliySamplesNo");
    stabilityTimeLabel = boldLabel(stabilityGroup, "Label_StabilitySettingTime", QStringLiteral("0"));
    m_texts.bind(stabilityTimeLabel, &QWidget::setToolTip, "IDS_SensorPageResponseTip");
    grid->addWidget(caption(stabilityGroup, "IDS_SensorPageMaxDifference"), 0, 0);
    grid->addWidget(stabilityMaxDifferenceEdit, 0, 1);
    grid->addWidget(caption(stabilityGroup, "IDS_SensorPageSamples"), 1, 0);
    grid->addWidget(stabilitySamplesEdit, 1, 1);
    grid->addWidget(caption(stabilityGroup, "IDS_SensorPageSettlingTime"), 2, 0);
    grid->addWidget(stabilityTimeLabel, 2, 1);
    return stabilityGroup;
}

QGroupBox* SensorSettingsPage::buildUnitsBox()
{
    unitsGroup = groupBox(sensorInputsGroup, "GroupBox9");
    m_texts.bind(unitsGroup, &QGroupBox::setTitle, "IDS_SensorPageUnitsGroup");
    auto* grid = new QGridLayout(unitsGroup);
    unitsList = makeList(unitsGroup, "Cb_Units", settings::kUnitsItems);
    settingswidgets::bindListItems(m_texts, unitsList, settings::kUnitsItems, settings::kUnitsItemIds);
    decimalsList = makeList(unitsGroup, "Cb_Decp", settings::kDecpItems);
    grid->addWidget(caption(unitsGroup, "IDS_SensorPageUnits"), 0, 0);
    grid->addWidget(unitsList, 0, 1);
    grid->addWidget(caption(unitsGroup, "IDS_SensorPageDecimals"), 1, 0);
    grid->addWidget(decimalsList, 1, 1);
    grid->setRowStretch(2, 1);
    return unitsGroup;
}

QGroupBox* SensorSettingsPage::buildSensorsBox()
{
    sensorSettingsGroup = groupBox(sensorInputsGroup, "GroupBox10");
    m_texts.bind(sensorSettingsGroup, &QGroupBox::setTitle, "IDS_SensorPageSensorsGroup");
    auto* row = new QHBoxLayout(sensorSettingsGroup);

    // The row captions sit in a box of their own, laid out like the sensor columns, so that the
    // rows of both line up whatever the style's frame sizes are.
    auto* captionBox = new QGroupBox(sensorSettingsGroup);
    auto* captions = new QGridLayout(captionBox);
    captions->addWidget(caption(captionBox, "IDS_SensorPageCurrentValue"), 1, 0);
    captions->addWidget(caption(captionBox, "IDS_SensorPageRangeRow"), 2, 0);
    captions->addWidget(caption(captionBox, "IDS_SensorPageSensRow"), 3, 0);
    zeroAllButton = makeButton(captionBox, "BitBtn4", QString());
    m_texts.bind(zeroAllButton, &QAbstractButton::setText, "IDS_SensorPageZeroAll");
    zeroAllButton->setIcon(buttonIcon(ButtonPicture::Zero));
    captions->addWidget(zeroAllButton, 5, 0);
    row->addWidget(captionBox);

    std::vector<QGridLayout*> grids{captions};
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        const QString n = QString::number(i + 1);
        SensorColumn& s = sensors[i];
        s.box = new QGroupBox(sensorSettingsGroup);
        s.box->setObjectName(QStringLiteral("GroupBox_Tens") + n);
        auto* grid = new QGridLayout(s.box);
        s.header = named(new HeaderBar(QString(), HeaderBar::kSmallCaption, s.box), kSensorHeaderNames[i]);
        m_texts.bind(s.header, &HeaderBar::setCaption, "IDS_SensorPageSensor",
                     [n](const QString& text) { return fillIn(text, n); });
        s.valueLabel = new QLabel(QStringLiteral("0"), s.box);
        s.valueLabel->setObjectName(QStringLiteral("Label_ValTens") + n);
        s.range = new QLineEdit(QStringLiteral("0"), s.box);
        s.range->setObjectName(QStringLiteral("Edit_TRange") + n);
        s.sens = new QLineEdit(QStringLiteral("0"), s.box);
        s.sens->setObjectName(QStringLiteral("Edit_TSens") + n);
        s.sign = new QCheckBox(s.box);
        m_texts.bind(s.sign, &QAbstractButton::setText, "IDS_SensorPageInvertSign");
        s.sign->setObjectName(QStringLiteral("CB_Tens%1Sign").arg(n));
        s.zero = new QPushButton(buttonIcon(ButtonPicture::Zero), QString(), s.box);
        m_texts.bind(s.zero, &QAbstractButton::setText, "IDS_SensorPageZero");
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
                               sensors[0].zero->sizeHint().height(), zeroAllButton->sizeHint().height()});
    for (QGridLayout* grid : grids) {
        grid->setContentsMargins(4, 4, 4, 4);
        grid->setVerticalSpacing(4);
        grid->setRowMinimumHeight(0, header);
        for (int r = 1; r <= 5; ++r) {
            grid->setRowMinimumHeight(r, line);
        }
    }
    return sensorSettingsGroup;
}

void SensorSettingsPage::connectControls()
{
    connect(writeSensorSettingsButton, &QPushButton::clicked, this, &SensorSettingsPage::writeSensorSettings);
    connect(readSensorSettingsButton, &QPushButton::clicked, this, &SensorSettingsPage::readSensorSettings);
    connect(sensorDefaultsButton, &QPushButton::clicked, this,
            &SensorSettingsPage::restoreSensorDefaults);
    for (std::size_t i = 0; i < sensors.size(); ++i) {
        connect(sensors[i].zero, &QPushButton::clicked, this,
                [this, i] { zeroSensor(static_cast<int>(i) + 1); });
    }
    connect(zeroAllButton, &QPushButton::clicked, this, &SensorSettingsPage::zeroAllSensors);
    connect(sumTareButton, &QPushButton::clicked, this, &SensorSettingsPage::tareSum);
    // Only the user's choice runs the change reactions; lists filled from a reply or a settings
    // file are followed by the derived updates explicitly.
    connect(adRateList, &QComboBox::activated, this, &SensorSettingsPage::adRateChanged);
    connect(filterLevelList, &QComboBox::activated, this, &SensorSettingsPage::adRateChanged);
    connect(sumSelectionList, &QComboBox::activated, this, &SensorSettingsPage::sumSelectionChanged);
    stabilityMaxDifferenceEdit->installEventFilter(this);
    stabilitySamplesEdit->installEventFilter(this);
}

bool SensorSettingsPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut &&
        (watched == stabilityMaxDifferenceEdit || watched == stabilitySamplesEdit)) {
        checkStabilitySamples();
    }
    return QWidget::eventFilter(watched, event);
}

QLabel* SensorSettingsPage::caption(QWidget* parent, std::string_view id)
{
    QLabel* label = makeLabel(parent, QString());
    m_texts.bind(label, &QLabel::setText, id);
    return label;
}

int SensorSettingsPage::Decp() const
{
    return std::max(0, decimalsList->currentIndex());
}

void SensorSettingsPage::applySensorSettings(const QByteArray& frame)
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
        sensors[i].range->setText(display::formatInteger(m_settings.Range[i]));
        sensors[i].sens->setText(
            settings::settingText(m_settings.Sens[i], settings::kFieldPrecision, settings::kSensDecimals, locale));
        sensors[i].sign->setChecked((m_settings.SignBits & (1U << i)) != 0);
    }
    if (m_settings.Filter < settings::kFiltLevelItems.size()) {
        filterLevelList->setCurrentIndex(m_settings.Filter);
    }
    if (m_settings.Rate < settings::kAdRateItems.size()) {
        adRateList->setCurrentIndex(m_settings.Rate);
    }
    stabilityMaxDifferenceEdit->setText(
        settings::settingText(m_settings.StabMaxDiff, settings::kStabMaxDiffPrecision, Decp(), locale));
    stabilitySamplesEdit->setText(display::formatInteger(m_settings.StabSamplesNo));
    if (m_settings.Units < settings::kUnitsItems.size()) {
        unitsList->setCurrentIndex(m_settings.Units);
    }
    if (m_settings.SelTens < settings::kSelTensItems.size()) {
        sumSelectionList->setCurrentIndex(m_settings.SelTens);
    }
    sumOffsetEdit->setText(settings::settingText(m_settings.SumOffset, settings::kFieldPrecision, Decp(), locale));

    updateUnitsText();
    updateResponseDelay();
    checkStabilitySamples();
    sumSelectionChanged();
    refreshStabilityTime(m_settings.StabSamplesNo);
    updateResponseDelay();
    clearMarksOfValidFields();
    // The link asks for the communication and output settings next.
}

void SensorSettingsPage::sensorSettingsWritten()
{
    // The link has shown the status text and asks for the settings again after this.
    updateUnitsText();
    adRateChanged();
}

void SensorSettingsPage::writeSensorSettings()
{
    // The settling time follows the typed sample count even when the count will be refused; a
    // text that is no whole number at all ends the write with the conversion error.
    const QString samplesText = stabilitySamplesEdit->text();
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
    takeIndex(filterLevelList, m_settings.Filter);
    takeIndex(adRateList, m_settings.Rate);
    const auto maxDiff = checkRealField(stabilityMaxDifferenceEdit, Decp(), settings::kStabMaxDiffMin,
                                        settings::kStabMaxDiffMax, locale);
    if (maxDiff.ok) {
        m_settings.StabMaxDiff = maxDiff.value;
    }
    const auto stabSamples = checkIntegerField(stabilitySamplesEdit, 0, settings::kStabSamplesMax);
    if (stabSamples.ok) {
        m_settings.StabSamplesNo = static_cast<std::uint16_t>(stabSamples.value);
    }
    takeIndex(unitsList, m_settings.Units);
    takeIndex(sumSelectionList, m_settings.SelTens);
    const auto offset = checkRealField(sumOffsetEdit, Decp(), settings::kSumOffsetMin, settings::kSumOffsetMax, locale);
    if (offset.ok) {
        m_settings.SumOffset = offset.value;
    }
    refused = refused || !maxDiff.ok || !stabSamples.ok || !offset.ok;

    if (refused) {
        m_context.prompts->warning(m_context.text("IDS_68"), refusalText(m_context, m_checkedFields));
        return;
    }
    const auto frame = settings::encodeSensorSettingsRequest(m_settings);
    m_context.link.suspendPollForRequest();
    m_context.link.sendReport(frame);
}

void SensorSettingsPage::readSensorSettings()
{
    m_context.link.sendCommand(link::CMD_GET_SENSOR_SETTINGS);
}

void SensorSettingsPage::restoreSensorDefaults()
{
    // The restore wipes ranges and sensor constants: it is asked first, as on the other pages.
    if (m_context.confirmFactoryRestore()) {
        m_context.link.sendCommand(link::CMD_FACTORY_SENSOR_SETTINGS);
    }
}

void SensorSettingsPage::zeroSensor(int sensor)
{
    if (sensor >= 1 && sensor <= 4) {
        m_context.link.sendCommand(kZeroCommands[static_cast<std::size_t>(sensor - 1)]);
    }
}

void SensorSettingsPage::zeroAllSensors()
{
    m_context.link.sendCommand(link::CMD_ZERO_ALL_SENSORS);
}

void SensorSettingsPage::tareSum()
{
    m_context.link.sendCommand(link::CMD_TARE_SUM);
}

void SensorSettingsPage::adRateChanged()
{
    updateResponseDelay();
    checkStabilitySamples();
}

void SensorSettingsPage::updateResponseDelay()
{
    if (const auto text =
            settings::responseDelayText(filterLevelList->currentIndex(), adRateList->currentIndex(), m_context.locale)) {
        responseDelayLabel->setText(*text);
    }
}

void SensorSettingsPage::checkStabilitySamples()
{
    const auto samples = checkIntegerField(stabilitySamplesEdit, 0, settings::kStabSamplesMax);
    if (!samples.ok) {
        return;
    }
    m_settings.StabSamplesNo = static_cast<std::uint16_t>(samples.value);
    refreshStabilityTime(samples.value);
}

void SensorSettingsPage::refreshStabilityTime(int samples)
{
    if (const auto text = settings::stabilityTimeText(samples, adRateList->currentIndex(), m_context.locale)) {
        stabilityTimeLabel->setText(*text);
    }
}

void SensorSettingsPage::sumSelectionChanged()
{
    if (const auto id = settings::sumFormulaId(sumSelectionList->currentIndex())) {
        m_sumFormulaId = id;
        showSumFormula(m_texts.lookup());
    }
}

void SensorSettingsPage::showSumFormula(const TextBindings::Lookup& text)
{
    if (text) {
        sumFormulaLabel->setText(text(m_sumFormulaId.value_or("IDS_SensorPageSumNoFormula")));
    }
}

void SensorSettingsPage::clearMarksOfValidFields()
{
    settingswidgets::clearMarksOfValidFields(m_checkedFields, m_context.locale);
}

void SensorSettingsPage::updateUnitsText()
{
    const int index = unitsList->currentIndex();
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
