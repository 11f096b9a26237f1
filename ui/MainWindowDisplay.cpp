// The main window's live display: the 25-ms refresh of the readouts, channel boxes and indicators,
// and the buttons of the "Pomiary" page.

#include "MainWindow.h"

#include "display/LiveDisplay.h"
#include "pages/MeasurementPage.h"
#include "pages/RecordingPage.h"
#include "pages/SettingsPage.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/Indicators.h"
#include "ui/widgets/LoadGauge.h"
#include "windows/TFHelp.h"
#include "windows/TFormBigDisplay.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qmx::ui {

namespace {

// Setting an unchanged text would still relayout some controls; the tick runs 40 times a second.
void setLabel(QLabel* label, const QString& text)
{
    if (label->text() != text) {
        label->setText(text);
    }
}

void setEdit(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text) {
        edit->setText(text);
    }
}

void setBase(QLineEdit* edit, const QColor& colour)
{
    QPalette p = edit->palette();
    if (p.color(QPalette::Base) != colour) {
        p.setColor(QPalette::Base, colour);
        edit->setPalette(p);
    }
}

// A status field that shows no live state: hyphens on the field's ordinary background.
void setNoState(QLineEdit* edit)
{
    setEdit(edit, QString::fromLatin1(display::kNoValueText));
    if (edit->palette().resolveMask() != 0) {
        edit->setPalette(QPalette()); // back to the background the window gives it
    }
}

// While the record holds no live values (no link, or no measurement since the link was made),
// nothing that shows a measurement may look live: every value and state shows hyphens.
void showNoMeasurement(MeasurementPage& page, QLineEdit* in2, QLineEdit* out1, QLineEdit* out2,
                       const std::array<QLabel*, 2>& rates, TFormBigDisplay* big)
{
    const QString hyphens = QString::fromLatin1(display::kNotConnectedText);
    const QString noValue = QString::fromLatin1(display::kNoValueText);
    page.DisplaySum->setFittedText(hyphens);
    page.DisplayMax->setFittedText(hyphens);
    if (big != nullptr) {
        big->LED_display->setFittedText(hyphens);
        big->DispMax->setFittedText(hyphens);
    }
    for (ChannelControls& c : page.channels) {
        setNoState(c.statusEdit);
        c.valueLabel->setFittedText(noValue);
        for (LoadGauge* gauge : c.gauges) {
            gauge->setPosition(0);
        }
        setLabel(c.loadLabel, noValue + u'%');
    }
    for (QLineEdit* indicator : {page.Edit_IN1, in2, out1, out2}) {
        setNoState(indicator);
    }
    for (QLabel* rate : rates) {
        setLabel(rate, noValue);
    }
}

} // namespace

void TForm1::connectMeasurementPage()
{
    // The status line may show a short form of a link message; its tool tip holds the full text.
    connect(m_link.get(), &link::LinkController::statusMessage, Label_Status,
            [this](const QString& text) { Label_Status->setToolTip(text); });
    connect(m_link.get(), &link::LinkController::statusDetail, Label_Status,
            [this](const QString& text) { Label_Status->setToolTip(text); });
    connect(TabSheet1->BtnTara, &QPushButton::clicked, this, &TForm1::BtnTaraClick);
    connect(TabSheet1->Btn_ResetMinMax, &QPushButton::clicked, this, &TForm1::Btn_ResetMinMaxClick);
    connect(TabSheet1->Bit_BigWindow, &QPushButton::clicked, this, &TForm1::Bit_BigWindowClick);
}

void TForm1::attachWindows(const SecondaryWindows& windows)
{
    m_windows = windows;
    if (m_windows.bigDisplay) {
        connect(m_windows.bigDisplay, &TFormBigDisplay::resetMaxRequested, this, &TForm1::Btn_ResetMinMaxClick);
        restoreBigWindowGeometry();
    }
    if (m_windows.analogCalib) {
        TabSheet5->setAnalogCalibrationWindow(m_windows.analogCalib);
    }
    if (m_windows.help) {
        connect(Instrukcja1, &QAction::triggered, m_windows.help, &TFHelp::showManual);
        m_windows.help->setLanguage(m_activeLanguage);
    }
}

int TForm1::Decp() const
{
    return std::max(0, TabSheet5->Cb_Decp->currentIndex());
}

void TForm1::DisplayDataTimer()
{
    MeasurementPage& page = *TabSheet1;
    if (m_link->measurementIsLive()) {
        const link::Measurement& m = m_link->measurement();
        const int decimals = Decp();
        const auto selection = page.selection();
        if (selection) {
            page.DisplaySum->setFittedText(
                display::FormatNumber(display::selectedValue(m, *selection), decimals, m_numberLocale) + m_unitsText);
        }
        page.DisplayMax->setFittedText(display::FormatNumber(m.DeviceMax, decimals, m_numberLocale));
        if (TFormBigDisplay* big = m_windows.bigDisplay) {
            big->LED_display->setFittedText(page.DisplaySum->text());
            if (selection) {
                big->Label_ActualVal->setCaption(display::selectionCaption(*selection));
            }
            big->DispMax->setFittedText(page.DisplayMax->text());
        }
        for (std::size_t ch = 0; ch < 4; ++ch) {
            ShowChannel(m.ChannelStatus[ch], m.ChannelLoad[ch], m.ChannelValue[ch], page.channels[ch]);
        }
        const QString on = QStringLiteral("ON");
        const QString off = QStringLiteral("OFF");
        SetStateEdit(page.Edit_IN1, on, off, (m.InputState & 0x01) != 0);
        SetStateEdit(TabSheet3->Edit_IN2, on, off, (m.InputState & 0x02) != 0);
        SetStateEdit(TabSheet5->Out1Status, on, off, (m.OutputState & 0x01) != 0);
        SetStateEdit(TabSheet5->Out2Status, on, off, (m.OutputState & 0x02) != 0);
        setLabel(TabSheet5->Label_Rs485FPS, display::IntegerText(m.Rs485Fps));
        setLabel(TabSheet5->Label_EthFps, display::IntegerText(m.EthFps));
    } else {
        showNoMeasurement(page, TabSheet3->Edit_IN2, TabSheet5->Out1Status, TabSheet5->Out2Status,
                          {TabSheet5->Label_Rs485FPS, TabSheet5->Label_EthFps}, m_windows.bigDisplay);
    }
    TabSheet3->ShowRecordingState(m_link->connected(), StatusBarAcquisition);
}

void TForm1::ShowChannel(std::uint8_t status, std::uint16_t load, float value, ChannelControls& c)
{
    if (const auto appearance = display::channelStatusAppearance(status)) {
        setEdit(c.statusEdit, appearance->text);
        setBase(c.statusEdit, appearance->colour);
    }
    if (display::channelShowsValue(status)) {
        c.valueLabel->setFittedText(display::FormatNumber(value, Decp(), m_numberLocale) + m_unitsText);
    } else {
        c.valueLabel->setFittedText(QString::fromLatin1(display::kNoValueText));
    }
    const auto positions = display::gaugePositions(load);
    c.gauges[0]->setPosition(positions.rated);
    c.gauges[1]->setPosition(positions.working);
    c.gauges[2]->setPosition(positions.limit);
    setLabel(c.loadLabel, display::IntegerText(load) + u'%');
}

void TForm1::BtnTaraClick()
{
    if (const auto selection = TabSheet1->selection()) {
        m_link->SendCommand(display::tareCommand(*selection));
    }
}

void TForm1::Btn_ResetMinMaxClick()
{
    m_link->SendCommand(link::CMD_RESET_MIN_MAX);
}

void TForm1::Bit_BigWindowClick()
{
    if (TFormBigDisplay* big = m_windows.bigDisplay) {
        big->show();
        big->raise();
        big->activateWindow();
    }
}

} // namespace qmx::ui
