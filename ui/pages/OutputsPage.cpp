#include "OutputsPage.h"
#include "ui/widgets/Fonts.h"

#include "SettingsWidgets.h"

#include "settings/core/ListItems.h"
#include "ui/icons/Icons.h"

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

constexpr std::array<const char*, 8> kColumnHeadings{
    "Wyjście",           "Wartość do porównania", "Warunek 1",           "Wartość do warunku 1",
    "Suma/iloczyn warunków", "Warunek 2",         "Wartość do warunku 2", "Stan wyjścia gdy warunki spełnione"};

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
    outputsGroup = named(new QGroupBox(this), "GroupBox11");
    // The group fills the page; the controls keep their size and place at its top left.
    auto* column = topLeftBlock(this, outputsGroup, content);

    stabilityIndicatorCheck =
        named(new QCheckBox(QStringLiteral("Wyjście OUT1 jako sygnalizacja stabilności pomiarów"), outputsGroup),
              "Cb_Out1StabilityIndicator");
    overloadIndicatorCheck = named(
        new QCheckBox(QStringLiteral("Wyjście OUT2 jako sygnalizacja przeciążenia"), outputsGroup), "Cb_Out2OverloadIndicator");
    column->addWidget(stabilityIndicatorCheck);
    column->addWidget(overloadIndicatorCheck);

    thresholdsGroup = named(new QGroupBox(QStringLiteral("Sygnalizacja progów pomiarowych "), outputsGroup), "GroupBox26");
    auto* grid = new QGridLayout(thresholdsGroup);
    grid->setHorizontalSpacing(4);
    for (int c = 0; c < static_cast<int>(kColumnHeadings.size()); ++c) {
        auto* heading = makeLabel(thresholdsGroup, QString::fromUtf8(kColumnHeadings[static_cast<std::size_t>(c)]));
        heading->setWordWrap(true);
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        grid->addWidget(heading, 0, c);
    }
    out1 = buildRow(1, grid);
    out2 = buildRow(2, grid);
    column->addWidget(thresholdsGroup);

    analogCalibrationButton = makeButton(outputsGroup, "Btn_AnalogOutCalib", QStringLiteral("Kalibracja wyjścia analogowego..."));
    analogCalibrationButton->setIcon(buttonIcon(ButtonPicture::Calibration));
    auto* calibRow = new QHBoxLayout;
    calibRow->addWidget(analogCalibrationButton);
    calibRow->addStretch(1);
    column->addLayout(calibRow);
    column->addStretch(1);

    auto* buttons = new QHBoxLayout;
    readOutputsButton = makeButton(outputsGroup, "BitBtn5", QStringLiteral("&Odczytaj"));
    writeOutputsButton = makeButton(outputsGroup, "BitBtn6", QStringLiteral("&Zapisz"));
    outputsDefaultsButton = makeButton(outputsGroup, "Btn_OutputsFactory", QStringLiteral("Przywróć fabryczne"));
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
    cell->addWidget(makeLabel(thresholdsGroup, QStringLiteral("OUT%1").arg(output)), 0, Qt::AlignHCenter);
    row.status = makeEdit(thresholdsGroup, name("Status").constData(), QStringLiteral("OFF"));
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

void OutputsPage::stabilityIndicatorToggled()
{
    setRowEnabled(out1, !stabilityIndicatorCheck->isChecked());
}

void OutputsPage::overloadIndicatorToggled()
{
    setRowEnabled(out2, !overloadIndicatorCheck->isChecked());
}

} // namespace qmx::ui
