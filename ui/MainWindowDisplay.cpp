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
#include "windows/HelpWindow.h"
#include "windows/LargeReadoutWindow.h"

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
                       const std::array<QLabel*, 2>& rates, LargeReadoutWindow* big)
{
    const QString hyphens = QString::fromLatin1(display::kNotConnectedText);
    const QString noValue = QString::fromLatin1(display::kNoValueText);
    page.sumReadout->setFittedText(hyphens);
    page.maxReadout->setFittedText(hyphens);
    if (big != nullptr) {
        big->valueReadout->setFittedText(hyphens);
        big->maxValueReadout->setFittedText(hyphens);
    }
    for (ChannelControls& c : page.channels) {
        setNoState(c.statusEdit);
        c.shownStatus.reset();
        c.valueLabel->setFittedText(noValue);
        for (LoadGauge* gauge : c.gauges) {
            gauge->setPosition(0);
        }
        setLabel(c.loadLabel, noValue + u'%');
    }
    for (QLineEdit* indicator : {page.in1StateEdit, in2, out1, out2}) {
        setNoState(indicator);
    }
    for (QLabel* rate : rates) {
        setLabel(rate, noValue);
    }
}

} // namespace

void MainWindow::connectMeasurementPage()
{
    // The status line may show a short form of a link message; its tool tip holds the full text.
    const auto showToolTip = [this](const QString& text) {
        statusLabel->setToolTip(text);
        m_statusToolTipShown = text;
    };
    connect(m_link.get(), &link::LinkController::statusMessage, statusLabel, showToolTip);
    connect(m_link.get(), &link::LinkController::statusDetail, statusLabel, showToolTip);
    connect(measurementPage->tareButton, &QPushButton::clicked, this, &MainWindow::tareSelected);
    connect(measurementPage->resetMaxButton, &QPushButton::clicked, this, &MainWindow::resetMaximum);
    connect(measurementPage->largeReadoutButton, &QPushButton::clicked, this, &MainWindow::showLargeReadout);
}

void MainWindow::attachWindows(const SecondaryWindows& windows)
{
    m_windows = windows;
    if (m_windows.bigDisplay) {
        connect(m_windows.bigDisplay, &LargeReadoutWindow::resetMaxRequested, this, &MainWindow::resetMaximum);
        restoreBigWindowGeometry();
    }
    if (m_windows.analogCalib) {
        settingsPage->setAnalogCalibrationWindow(m_windows.analogCalib);
    }
    if (m_windows.help) {
        connect(manualAction, &QAction::triggered, m_windows.help, &HelpWindow::showManual);
    }
    applyLanguageToWindows();
}

int MainWindow::Decp() const
{
    return std::max(0, settingsPage->decimalsList->currentIndex());
}

void MainWindow::displayTick()
{
    MeasurementPage& page = *measurementPage;
    if (m_link->measurementIsLive()) {
        const link::Measurement& m = m_link->measurement();
        const int decimals = Decp();
        const auto selection = page.selection();
        if (selection) {
            page.sumReadout->setFittedText(
                display::formatNumber(display::selectedValue(m, *selection), decimals, m_numberLocale) + m_unitsText);
        }
        page.maxReadout->setFittedText(display::formatNumber(m.DeviceMax, decimals, m_numberLocale));
        if (LargeReadoutWindow* big = m_windows.bigDisplay) {
            big->valueReadout->setFittedText(page.sumReadout->text());
            if (selection) {
                big->showSelectionCaption(*selection);
            }
            big->maxValueReadout->setFittedText(page.maxReadout->text());
        }
        for (std::size_t ch = 0; ch < 4; ++ch) {
            showChannel(m.ChannelStatus[ch], m.ChannelLoad[ch], m.ChannelValue[ch], page.channels[ch]);
        }
        const QString on = QStringLiteral("ON");
        const QString off = QStringLiteral("OFF");
        setStateEdit(page.in1StateEdit, on, off, (m.InputState & 0x01) != 0);
        setStateEdit(recordingPage->in2StateEdit, on, off, (m.InputState & 0x02) != 0);
        setStateEdit(settingsPage->out1StatusEdit, on, off, (m.OutputState & 0x01) != 0);
        setStateEdit(settingsPage->out2StatusEdit, on, off, (m.OutputState & 0x02) != 0);
        setLabel(settingsPage->rs485RateLabel, display::formatInteger(m.Rs485Fps));
        setLabel(settingsPage->ethernetRateLabel, display::formatInteger(m.EthFps));
    } else {
        showNoMeasurement(page, recordingPage->in2StateEdit, settingsPage->out1StatusEdit, settingsPage->out2StatusEdit,
                          {settingsPage->rs485RateLabel, settingsPage->ethernetRateLabel}, m_windows.bigDisplay);
    }
    recordingPage->showRecordingState(m_link->connected(), recordingStateEdit);
}

void MainWindow::showChannel(std::uint8_t status, std::uint16_t load, float value, ChannelControls& c)
{
    if (const auto appearance = display::channelStatusAppearance(status, m_activeLanguage)) {
        setEdit(c.statusEdit, appearance->text);
        setBase(c.statusEdit, appearance->colour);
        c.shownStatus = status;
    }
    if (display::channelShowsValue(status)) {
        c.valueLabel->setFittedText(display::formatNumber(value, Decp(), m_numberLocale) + m_unitsText);
    } else {
        c.valueLabel->setFittedText(QString::fromLatin1(display::kNoValueText));
    }
    const auto positions = display::gaugePositions(load);
    c.gauges[0]->setPosition(positions.rated);
    c.gauges[1]->setPosition(positions.working);
    c.gauges[2]->setPosition(positions.limit);
    setLabel(c.loadLabel, display::formatInteger(load) + u'%');
}

void MainWindow::tareSelected()
{
    if (const auto selection = measurementPage->selection()) {
        m_link->sendCommand(display::tareCommand(*selection));
    }
}

void MainWindow::resetMaximum()
{
    m_link->sendCommand(link::CMD_RESET_MIN_MAX);
}

void MainWindow::showLargeReadout()
{
    if (LargeReadoutWindow* big = m_windows.bigDisplay) {
        big->show();
        big->raise();
        big->activateWindow();
    }
}

} // namespace qmx::ui
