#include "OutputsPage.h"
#include "ui/widgets/Fonts.h"

#include "SettingsWidgets.h"

#include "settings/core/ListItems.h"
#include "ui/icons/Icons.h"

#include <QAbstractButton>
#include <QCheckBox>
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

constexpr std::array<std::string_view, 8> kColumnHeadings{
    "IDS_OutputsHeadingOutput",  "IDS_OutputsHeadingSource",     "IDS_OutputsHeadingCondition1",
    "IDS_OutputsHeadingValue1",  "IDS_OutputsHeadingJoining",    "IDS_OutputsHeadingCondition2",
    "IDS_OutputsHeadingValue2",  "IDS_OutputsHeadingState"};

void setRowEnabled(const OutputRow& row, bool enabled)
{
    for (QWidget* control : row.settingsControls()) {
        control->setEnabled(enabled);
    }
}

} // namespace

std::array<QWidget*, 7> OutputRow::settingsControls() const
{
    return {source, mode1, number1, condition, mode2, number2, state};
}

OutputsPage::OutputsPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheet4"));
    auto* outputsGroup = named(new QGroupBox(this), "GroupBox11");
    // The group fills the page; the controls keep their size and place at its top left.
    auto* column = topLeftBlock(this, outputsGroup, content);

    stabilityIndicatorCheck = named(new QCheckBox(outputsGroup), "Cb_Out1StabilityIndicator");
    overloadIndicatorCheck = named(new QCheckBox(outputsGroup), "Cb_Out2OverloadIndicator");
    m_texts.bind(stabilityIndicatorCheck, &QAbstractButton::setText, "IDS_OutputsOut1Stability");
    m_texts.bind(overloadIndicatorCheck, &QAbstractButton::setText, "IDS_OutputsOut2Overload");
    column->addWidget(stabilityIndicatorCheck);
    column->addWidget(overloadIndicatorCheck);

    thresholdsGroup = named(new QGroupBox(outputsGroup), "GroupBox26");
    m_texts.bind(thresholdsGroup, &QGroupBox::setTitle, "IDS_OutputsThresholds");
    auto* grid = new QGridLayout(thresholdsGroup);
    grid->setHorizontalSpacing(4);
    for (int c = 0; c < static_cast<int>(kColumnHeadings.size()); ++c) {
        auto* heading = makeLabel(thresholdsGroup, QString());
        m_texts.bind(heading, &QLabel::setText, kColumnHeadings[static_cast<std::size_t>(c)]);
        heading->setWordWrap(true);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        grid->addWidget(heading, 0, c);
    }
    out1 = buildRow(1, grid);
    out2 = buildRow(2, grid);
    column->addWidget(thresholdsGroup);

    analogCalibrationButton = makeButton(outputsGroup, "Btn_AnalogOutCalib", QString());
    m_texts.bind(analogCalibrationButton, &QAbstractButton::setText, "IDS_OutputsAnalogCalibration");
    analogCalibrationButton->setIcon(buttonIcon(ButtonPicture::Calibration));
    auto* calibRow = new QHBoxLayout;
    calibRow->addWidget(analogCalibrationButton);
    calibRow->addStretch(1);
    column->addLayout(calibRow);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    readOutputsButton = makeButton(outputsGroup, "BitBtn5", QString());
    writeOutputsButton = makeButton(outputsGroup, "BitBtn6", QString());
    outputsDefaultsButton = makeButton(outputsGroup, "Btn_OutputsFactory", QString());
    m_texts.bind(readOutputsButton, &QAbstractButton::setText, "IDS_SettingsRead");
    m_texts.bind(writeOutputsButton, &QAbstractButton::setText, "IDS_SettingsWrite");
    m_texts.bind(outputsDefaultsButton, &QAbstractButton::setText, "IDS_SettingsFactoryDefaults");
    readOutputsButton->setIcon(buttonIcon(ButtonPicture::Read));
    writeOutputsButton->setIcon(buttonIcon(ButtonPicture::Save));
    outputsDefaultsButton->setIcon(buttonIcon(ButtonPicture::Factory));
    buttons->addWidget(readOutputsButton);
    buttons->addStretch(1);
    buttons->addWidget(writeOutputsButton);
    buttons->addStretch(1);
    buttons->addWidget(outputsDefaultsButton);
    column->addLayout(buttons);

    // A program-set tick runs the reaction as well, so a loaded settings file enables the rows too.
    connect(stabilityIndicatorCheck, &QCheckBox::toggled, this, &OutputsPage::stabilityIndicatorToggled);
    connect(overloadIndicatorCheck, &QCheckBox::toggled, this, &OutputsPage::overloadIndicatorToggled);
}

OutputRow OutputsPage::buildRow(int output, QGridLayout* grid)
{
    const QString prefix = QStringLiteral("Out%1").arg(output);
    const auto name = [&prefix](const char* suffix) { return (prefix + QString::fromLatin1(suffix)).toLatin1(); };
    OutputRow row;

    auto* cell = new QVBoxLayout;
    cell->setSpacing(1);
    auto* outputName = makeLabel(thresholdsGroup, QString());
    m_texts.bind(outputName, &QLabel::setText, "IDS_OutputsOutputName",
                 [output](const QString& text) { return text.arg(output); });
    cell->addWidget(outputName, 0, Qt::AlignHCenter);
    // The start text only: the measurement display writes the output's state from then on.
    row.status = makeEdit(thresholdsGroup, name("Status").constData(), text("IDS_OutputsStatusOff"));
    row.status->setReadOnly(true);
    row.status->setAlignment(Qt::AlignCenter);
    row.status->setFixedWidth(48);
    row.status->setFont(namedFont(NamedFont::Arial, 12, true));
    cell->addWidget(row.status, 0, Qt::AlignHCenter);

    row.source = makeList(thresholdsGroup, name("_source").constData(), settings::kOutSourceItems);
    row.mode1 = makeList(thresholdsGroup, name("_mode1").constData(), settings::kOutModeItems);
    row.number1 = makeEdit(thresholdsGroup, name("_Number1").constData());
    row.condition = makeList(thresholdsGroup, name("_condition").constData(), settings::kOutConditionItems);
    row.mode2 = makeList(thresholdsGroup, name("_mode2").constData(), settings::kOutModeItems);
    row.number2 = makeEdit(thresholdsGroup, name("_Number2").constData());
    row.state = makeList(thresholdsGroup, name("_state").constData(), settings::kOutStateItems);
    bindListItems(m_texts, row.source, settings::kOutSourceItems, kOutSourceTextIds);
    bindListItems(m_texts, row.condition, settings::kOutConditionItems, kOutConditionTextIds);
    bindListItems(m_texts, row.state, settings::kOutStateItems, kOutStateTextIds);
    for (QLineEdit* edit : {row.number1, row.number2}) {
        edit->setMinimumWidth(70);
    }

    grid->addLayout(cell, output, 0);
    const auto controls = row.settingsControls();
    for (int c = 0; c < static_cast<int>(controls.size()); ++c) {
        grid->addWidget(controls[static_cast<std::size_t>(c)], output, c + 1, Qt::AlignVCenter);
    }
    return row;
}

void OutputsPage::setTextLookup(TextBindings::Lookup lookup)
{
    m_lookup = std::move(lookup);
    m_texts.apply();
}

void OutputsPage::retranslate()
{
    m_texts.apply();
}

QString OutputsPage::text(std::string_view id) const
{
    return m_lookup ? m_lookup(id) : polishText(id);
}

void OutputsPage::stabilityIndicatorToggled()
{
    setRowEnabled(out1, !stabilityIndicatorCheck->isChecked());
}

void OutputsPage::overloadIndicatorToggled()
{
    setRowEnabled(out2, !overloadIndicatorCheck->isChecked());
}

} // namespace qmx::ui
