#include "AnalogCalibrationWindow.h"

#include "link/LinkController.h"
#include "link/Protocol.h"
#include "settings/core/AnalogFrames.h"
#include "ui/pages/SettingsWidgets.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qmx::ui {

using namespace settingswidgets;

AnalogCalibrationWindow::AnalogCalibrationWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormAnCalib"));
    m_texts.bind(static_cast<QWidget*>(this), &QWidget::setWindowTitle, "IDS_AnalogCalibrationTitle");
    setWindowModality(Qt::ApplicationModal);

    auto* column = new QVBoxLayout(this);
    for (const std::string_view step :
         {"IDS_AnalogCalibrationStep1", "IDS_AnalogCalibrationStep2", "IDS_AnalogCalibrationStep3"}) {
        auto* label = new QLabel(this);
        m_texts.bind(label, &QLabel::setText, step);
        label->setWordWrap(true);
        column->addWidget(label);
    }

    auto* forceSignalGroup = named(new QGroupBox(this), "GroupBox1");
    m_texts.bind(forceSignalGroup, &QGroupBox::setTitle, "IDS_AnalogCalibrationForceSignal");
    auto* force = new QHBoxLayout(forceSignalGroup);
    voltageRadio = named(new QRadioButton(QStringLiteral("9V"), forceSignalGroup), "Rb_0_10V");
    currentRadio = named(new QRadioButton(QStringLiteral("18mA"), forceSignalGroup), "RadioButton2");
    voltageRadio->setChecked(true);
    testCheck = named(new QCheckBox(forceSignalGroup), "Cb_Test");
    testStartButton = makeButton(forceSignalGroup, "Button1", QString());
    testStopButton = makeButton(forceSignalGroup, "Button2", QString());
    m_texts.bind(testCheck, &QAbstractButton::setText, "IDS_AnalogCalibrationTest");
    m_texts.bind(testStartButton, &QAbstractButton::setText, "IDS_AnalogCalibrationStart");
    m_texts.bind(testStopButton, &QAbstractButton::setText, "IDS_AnalogCalibrationStop");
    force->addWidget(voltageRadio);
    force->addWidget(currentRadio);
    force->addWidget(testCheck);
    force->addStretch(1);
    force->addWidget(testStartButton);
    force->addWidget(testStopButton);
    column->addWidget(forceSignalGroup);

    auto* calibrateGroup = named(new QGroupBox(this), "GroupBox2");
    m_texts.bind(calibrateGroup, &QGroupBox::setTitle, "IDS_AnalogCalibrationCalibrate");
    auto* grid = new QGridLayout(calibrateGroup);
    voltageEdit = makeEdit(calibrateGroup, "Edit1_0_10V");
    calibrateVoltageButton = makeButton(calibrateGroup, "Btn_Calib_0_10", QString());
    currentEdit = makeEdit(calibrateGroup, "Edit1_4_20mA");
    calibrateCurrentButton = makeButton(calibrateGroup, "Btn_Calib_4_20", QString());
    // No reply of the protocol carries the factors; the labels keep their start text.
    voltageFactorLabel = named(new QLabel(QStringLiteral("0"), calibrateGroup), "Label_CalibVal_0_10V");
    currentFactorLabel = named(new QLabel(QStringLiteral("0"), calibrateGroup), "Label_CalibVal_0_20mA");
    readFactorsButton = makeButton(calibrateGroup, "Btn_readFactors", QString());
    for (QPushButton* write : {calibrateVoltageButton, calibrateCurrentButton}) {
        m_texts.bind(write, &QAbstractButton::setText, "IDS_AnalogCalibrationWrite");
    }
    m_texts.bind(readFactorsButton, &QAbstractButton::setText, "IDS_AnalogCalibrationReadFactors");
    // A caption label bound to its text in the window's language.
    const auto caption = [this, calibrateGroup](std::string_view id) {
        auto* label = makeLabel(calibrateGroup, QString());
        m_texts.bind(label, &QLabel::setText, id);
        return label;
    };
    grid->addWidget(caption("IDS_AnalogCalibrationFactor"), 0, 3);
    grid->addWidget(caption("IDS_AnalogCalibrationMeasuredVoltage"), 1, 0);
    grid->addWidget(voltageEdit, 1, 1);
    grid->addWidget(calibrateVoltageButton, 1, 2);
    grid->addWidget(voltageFactorLabel, 1, 3);
    grid->addWidget(caption("IDS_AnalogCalibrationMeasuredCurrent"), 2, 0);
    grid->addWidget(currentEdit, 2, 1);
    grid->addWidget(calibrateCurrentButton, 2, 2);
    grid->addWidget(currentFactorLabel, 2, 3);
    grid->addWidget(readFactorsButton, 3, 3);
    column->addWidget(calibrateGroup);
    column->addStretch(1);

    connect(testStartButton, &QPushButton::clicked, this, &AnalogCalibrationWindow::startTestSignal);
    connect(testStopButton, &QPushButton::clicked, this, &AnalogCalibrationWindow::stopTestSignal);
    connect(calibrateVoltageButton, &QPushButton::clicked, this, &AnalogCalibrationWindow::calibrateVoltageOutput);
    connect(calibrateCurrentButton, &QPushButton::clicked, this, &AnalogCalibrationWindow::calibrateCurrentOutput);
    connect(readFactorsButton, &QPushButton::clicked, this, &AnalogCalibrationWindow::readCalibrationFactors);
}

void AnalogCalibrationWindow::attachLink(link::LinkController* link)
{
    m_link = link;
}

void AnalogCalibrationWindow::setNumberLocale(const display::NumberLocale& locale)
{
    m_locale = locale;
}

void AnalogCalibrationWindow::showModal()
{
    show();
    raise();
    activateWindow();
}

void AnalogCalibrationWindow::startTestSignal()
{
    const std::uint8_t channel = voltageRadio->isChecked() ? settings::kAnalogVoltage : settings::kAnalogCurrent;
    const auto frame = settings::analogTestStartFrame(channel, testCheck->isChecked());
    if (m_link != nullptr) {
        m_link->suspendPollForRequest();
        m_link->sendReport(frame);
    }
    m_testLevelForced = true;
}

void AnalogCalibrationWindow::stopTestSignal()
{
    if (m_link != nullptr) {
        m_link->sendCommand(link::CMD_ANALOG_TEST_STOP);
    }
    m_testLevelForced = false;
}

void AnalogCalibrationWindow::closeEvent(QCloseEvent* event)
{
    // A forced level left on the output would drive whatever the output is wired to with a fixed
    // 9 V or 18 mA once nobody is watching it.
    if (m_testLevelForced) {
        stopTestSignal();
    }
    QWidget::closeEvent(event);
}

void AnalogCalibrationWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AnalogCalibrationWindow::calibrateVoltageOutput()
{
    calibrate(settings::kAnalogVoltage, voltageEdit, kVoltageMin, kVoltageMax);
}

void AnalogCalibrationWindow::calibrateCurrentOutput()
{
    calibrate(settings::kAnalogCurrent, currentEdit, kCurrentMin, kCurrentMax);
}

void AnalogCalibrationWindow::calibrate(std::uint8_t channel, QLineEdit* edit, float lower, float upper)
{
    // A refused value is only marked; the window shows no message.
    const auto checked = checkRealField(edit, kDecimals, lower, upper, m_locale);
    if (!checked.ok) {
        return;
    }
    const auto frame = settings::analogCalibrateFrame(channel, checked.value);
    if (m_link != nullptr) {
        m_link->suspendPollForRequest();
        m_link->sendReport(frame);
    }
}

void AnalogCalibrationWindow::readCalibrationFactors()
{
    if (m_link != nullptr) {
        m_link->sendCommand(link::CMD_GET_IO_SETTINGS);
    }
}

void AnalogCalibrationWindow::setLanguage(lang::Language language)
{
    m_language = language;
    m_texts.apply();
}

} // namespace qmx::ui
