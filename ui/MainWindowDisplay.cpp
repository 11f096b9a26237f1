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
#include <QFontMetrics>
#include <QVariant>
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

// A readout keeps its designed digit size while its text fits; a longer text (a large value with
// decimals and a unit) is drawn smaller instead of being cut off.
void setFittedLabel(QLabel* label, const QString& text)
{
    if (label->text() == text) {
        return;
    }
    QVariant base = label->property("designPixelSize");
    if (!base.isValid()) {
        base = label->font().pixelSize();
        label->setProperty("designPixelSize", base);
    }
    QFont font = label->font();
    font.setPixelSize(base.toInt());
    const int room = label->contentsRect().width() - 4;
    const int needed = QFontMetrics(font).horizontalAdvance(text);
    if (needed > room && room > 0) {
        font.setPixelSize(std::max(8, base.toInt() * room / needed));
    }
    if (font != label->font()) {
        label->setFont(font);
    }
    label->setText(text);
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

} // namespace

void TForm1::connectMeasurementPage()
{
    connect(TabSheet1->BtnTara, &QPushButton::clicked, this, &TForm1::BtnTaraClick);
    connect(TabSheet1->Btn_ResetMinMax, &QPushButton::clicked, this, &TForm1::Btn_ResetMinMaxClick);
    connect(TabSheet1->Bit_BigWindow, &QPushButton::clicked, this, &TForm1::Bit_BigWindowClick);
}

void TForm1::attachWindows(const SecondaryWindows& windows)
{
    m_windows = windows;
    if (m_windows.bigDisplay) {
        connect(m_windows.bigDisplay, &TFormBigDisplay::resetMaxRequested, this, &TForm1::Btn_ResetMinMaxClick);
    }
    if (m_windows.analogCalib) {
        TabSheet5->setAnalogCalibrationWindow(m_windows.analogCalib);
    }
    if (m_windows.help) {
        connect(Instrukcja1, &QAction::triggered, m_windows.help, &TFHelp::showManual);
    }
}

int TForm1::Decp() const
{
    return std::max(0, TabSheet5->Cb_Decp->currentIndex());
}

void TForm1::DisplayDataTimer()
{
    MeasurementPage& page = *TabSheet1;
    if (m_link->connected()) {
        const link::TMeasurement& m = m_link->measurement();
        const int decimals = Decp();
        const auto selection = page.selection();
        if (selection) {
            setFittedLabel(page.DisplaySum, display::FormatNumber(display::selectedValue(m, *selection), decimals,
                                                                  m_numberLocale) +
                                                m_unitsText);
        }
        setFittedLabel(page.DisplayMax, display::FormatNumber(m.DeviceMax, decimals, m_numberLocale));
        if (TFormBigDisplay* big = m_windows.bigDisplay) {
            setLabel(big->LED_display, page.DisplaySum->text());
            if (selection) {
                big->Label_ActualVal->setCaption(display::selectionCaption(*selection));
            }
            setLabel(big->DispMax, page.DisplayMax->text());
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
        const QString hyphens = QString::fromLatin1(display::kNotConnectedText);
        setLabel(page.DisplaySum, hyphens);
        setLabel(page.DisplayMax, hyphens);
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
        setFittedLabel(c.valueLabel, display::FormatNumber(value, Decp(), m_numberLocale) + m_unitsText);
    } else {
        setLabel(c.valueLabel, QString::fromLatin1(display::kNoValueText));
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
