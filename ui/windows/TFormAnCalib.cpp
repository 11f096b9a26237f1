#include "TFormAnCalib.h"

#include "link/LinkController.h"
#include "link/Protocol.h"
#include "settings/core/AnalogFrames.h"
#include "ui/pages/SettingsWidgets.h"

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

TFormAnCalib::TFormAnCalib(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FormAnCalib"));
    setWindowTitle(QStringLiteral("Wyjście analogowe - kalibracja"));
    setWindowModality(Qt::ApplicationModal);

    auto* column = new QVBoxLayout(this);
    for (const char* step : {"1) Wymuś sygnał na wyjściu AOUT (Test odznaczone!!!)", "2) Zmierz wartość na wyjściu AOUT",
                             "3) Wprowadź odczytaną wartość do pola kalibracji z dokładnością 3 miejsc po przecinku"}) {
        auto* label = new QLabel(QString::fromUtf8(step), this);
        label->setWordWrap(true);
        column->addWidget(label);
    }

    GroupBox1 = named(new QGroupBox(QStringLiteral("Wymuś sygnał wyjściowy"), this), "GroupBox1");
    auto* force = new QHBoxLayout(GroupBox1);
    Rb_0_10V = named(new QRadioButton(QStringLiteral("9V"), GroupBox1), "Rb_0_10V");
    RadioButton2 = named(new QRadioButton(QStringLiteral("18mA"), GroupBox1), "RadioButton2");
    Rb_0_10V->setChecked(true);
    Cb_Test = named(new QCheckBox(QStringLiteral("Test"), GroupBox1), "Cb_Test");
    Button1 = makeButton(GroupBox1, "Button1", QStringLiteral("Start"));
    Button2 = makeButton(GroupBox1, "Button2", QStringLiteral("Stop"));
    force->addWidget(Rb_0_10V);
    force->addWidget(RadioButton2);
    force->addWidget(Cb_Test);
    force->addStretch(1);
    force->addWidget(Button1);
    force->addWidget(Button2);
    column->addWidget(GroupBox1);

    GroupBox2 = named(new QGroupBox(QStringLiteral("Kalibruj wyjście"), this), "GroupBox2");
    auto* grid = new QGridLayout(GroupBox2);
    Edit1_0_10V = makeEdit(GroupBox2, "Edit1_0_10V");
    Btn_Calib_0_10 = makeButton(GroupBox2, "Btn_Calib_0_10", QStringLiteral("Zapisz"));
    Edit1_4_20mA = makeEdit(GroupBox2, "Edit1_4_20mA");
    Btn_Calib_4_20 = makeButton(GroupBox2, "Btn_Calib_4_20", QStringLiteral("Zapisz"));
    // No reply of the protocol carries the factors; the labels keep their start text.
    Label_CalibVal_0_10V = named(new QLabel(QStringLiteral("0"), GroupBox2), "Label_CalibVal_0_10V");
    Label_CalibVal_0_20mA = named(new QLabel(QStringLiteral("0"), GroupBox2), "Label_CalibVal_0_20mA");
    Btn_readFactors = makeButton(GroupBox2, "Btn_readFactors", QStringLiteral("Odczytaj Factor"));
    grid->addWidget(makeLabel(GroupBox2, QStringLiteral("Factor")), 0, 3);
    grid->addWidget(makeLabel(GroupBox2, QStringLiteral("Odczytane napięcie (V)")), 1, 0);
    grid->addWidget(Edit1_0_10V, 1, 1);
    grid->addWidget(Btn_Calib_0_10, 1, 2);
    grid->addWidget(Label_CalibVal_0_10V, 1, 3);
    grid->addWidget(makeLabel(GroupBox2, QStringLiteral("Odczytany prąd (mA)")), 2, 0);
    grid->addWidget(Edit1_4_20mA, 2, 1);
    grid->addWidget(Btn_Calib_4_20, 2, 2);
    grid->addWidget(Label_CalibVal_0_20mA, 2, 3);
    grid->addWidget(Btn_readFactors, 3, 3);
    column->addWidget(GroupBox2);
    column->addStretch(1);

    connect(Button1, &QPushButton::clicked, this, &TFormAnCalib::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormAnCalib::Button2Click);
    connect(Btn_Calib_0_10, &QPushButton::clicked, this, &TFormAnCalib::Btn_Calib_0_10Click);
    connect(Btn_Calib_4_20, &QPushButton::clicked, this, &TFormAnCalib::Btn_Calib_4_20Click);
    connect(Btn_readFactors, &QPushButton::clicked, this, &TFormAnCalib::Btn_readFactorsClick);
}

void TFormAnCalib::attachLink(link::LinkController* link)
{
    m_link = link;
}

void TFormAnCalib::setNumberLocale(const display::NumberLocale& locale)
{
    m_locale = locale;
}

void TFormAnCalib::showModal()
{
    show();
    raise();
    activateWindow();
}

void TFormAnCalib::Button1Click()
{
    const std::uint8_t channel = Rb_0_10V->isChecked() ? settings::kAnalogVoltage : settings::kAnalogCurrent;
    const auto frame = settings::analogTestStartFrame(channel, Cb_Test->isChecked());
    if (m_link != nullptr) {
        m_link->suspendPollForRequest();
        m_link->SendReport(frame);
    }
    m_testLevelForced = true;
}

void TFormAnCalib::Button2Click()
{
    if (m_link != nullptr) {
        m_link->SendCommand(link::CMD_ANALOG_TEST_STOP);
    }
    m_testLevelForced = false;
}

void TFormAnCalib::closeEvent(QCloseEvent* event)
{
    // A forced level left on the output would drive whatever the output is wired to with a fixed
    // 9 V or 18 mA once nobody is watching it.
    if (m_testLevelForced) {
        Button2Click();
    }
    QWidget::closeEvent(event);
}

void TFormAnCalib::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFormAnCalib::Btn_Calib_0_10Click()
{
    calibrate(settings::kAnalogVoltage, Edit1_0_10V, kVoltageMin, kVoltageMax);
}

void TFormAnCalib::Btn_Calib_4_20Click()
{
    calibrate(settings::kAnalogCurrent, Edit1_4_20mA, kCurrentMin, kCurrentMax);
}

void TFormAnCalib::calibrate(std::uint8_t channel, QLineEdit* edit, float lower, float upper)
{
    // A refused value is only marked; the window shows no message.
    const auto checked = checkRealField(edit, kDecimals, lower, upper, m_locale);
    if (!checked.ok) {
        return;
    }
    const auto frame = settings::analogCalibrateFrame(channel, checked.value);
    if (m_link != nullptr) {
        m_link->suspendPollForRequest();
        m_link->SendReport(frame);
    }
}

void TFormAnCalib::Btn_readFactorsClick()
{
    if (m_link != nullptr) {
        m_link->SendCommand(link::CMD_GET_IO_SETTINGS);
    }
}

} // namespace qmx::ui
