#include "FakeBackend.h"
#include "LinkTestSupport.h"

#include "link/Protocol.h"
#include "ui/MainWindow.h"
#include "ui/pages/MeasurementPage.h"
#include "ui/pages/RecordingPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/LoadGauge.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace qmx;
using qmx::test::FakeBackend;
using qmx::test::FakeDeviceState;
using qmx::test::waitUntil;

namespace {

std::vector<std::uint8_t> measurementReport(const link::Measurement& m)
{
    std::vector<std::uint8_t> bytes(64, 0);
    link::encodeMeasurement(m, bytes);
    return bytes;
}

QColor baseOf(const QLineEdit* edit)
{
    return edit->palette().color(QPalette::Base);
}

class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() : window(backend)
    {
        window.attachWindows({nullptr, nullptr, nullptr, &big, nullptr});
        // The fake device answers only what a test injects; the start-up retry must not run while
        // a loaded machine runs a long test slowly.
        window.link().setStartupRetryInterval(60'000);
    }

    std::shared_ptr<FakeDeviceState> connect()
    {
        auto dev = backend.add(u"QMX80NET");
        window.onDeviceChange();
        EXPECT_TRUE(window.link().connected());
        return dev;
    }

    void deliver(FakeDeviceState& dev, const link::Measurement& m)
    {
        const auto before = window.link().measurementsHandled();
        dev.inject(measurementReport(m));
        ASSERT_TRUE(waitUntil([&] { return window.link().measurementsHandled() > before; }));
    }

    ui::MeasurementPage& page() { return *window.measurementPage; }

    FakeBackend backend;
    ui::MainWindow window;
    ui::LargeReadoutWindow big;
};

link::Measurement sample()
{
    link::Measurement m;
    m.SumValue = 1234.5F;
    m.DeviceMax = 1500.0F;
    m.ChannelStatus = {3, 1, 9, 0};
    m.ChannelLoad = {0, 130, 175, 250};
    m.ChannelValue = {12.25F, 12.3F, -7.5F, 1.0F};
    m.InputState = 0x02;
    m.OutputState = 0x01;
    m.Rs485Fps = 17;
    m.EthFps = 4;
    return m;
}

} // namespace

TEST_F(MainWindowFixture, StartsAsTheWindowDescriptionSays)
{
    EXPECT_EQ(window.windowTitle(), QStringLiteral("QMX80NET-PC  ver.: 1.01"));
    EXPECT_EQ(window.connectionStatusEdit->text(), QStringLiteral("Brak połączenia"));
    EXPECT_EQ(baseOf(window.connectionStatusEdit), QColor(253, 124, 102));
    EXPECT_EQ(window.settingsPage->modbusAddressList->count(), 247);
    EXPECT_EQ(window.settingsPage->modbusAddressList->itemText(246), QStringLiteral("247"));
    EXPECT_EQ(window.settingsPage->modbusAddressList->currentIndex(), 0);
    EXPECT_EQ(window.minimumSize(), QSize(682, 672));
    EXPECT_EQ(window.pageTabs->currentIndex(), 0);
    EXPECT_EQ(window.fpsLabel->text(), QStringLiteral("Fps: 0"));
    EXPECT_TRUE(page().showSumRadio->isChecked());
    EXPECT_FALSE(window.languageList->isVisibleTo(&window));
    EXPECT_FALSE(window.languageCaptionLabel->isVisibleTo(&window));
}

TEST_F(MainWindowFixture, ConnectionShowsConnectedOnLightGreenThenTheConnectionText)
{
    auto dev = connect();
    EXPECT_EQ(window.connectionStatusEdit->text(), QStringLiteral("Połączony"));
    EXPECT_EQ(baseOf(window.connectionStatusEdit), QColor(175, 216, 135));
    dev->inject(test::reply({link::CMD_SET_LINK_STATE, 0}));
    ASSERT_TRUE(waitUntil([&] { return dev->codes().size() == 2; }));
    dev->inject(test::reply({link::CMD_GET_INFO, 105, 'v', 'i', 'r', 't', 'u', 'a', 'l'}));
    ASSERT_TRUE(waitUntil([&] { return window.connectionStatusEdit->text().startsWith(QStringLiteral("Połączono z")); }));
    EXPECT_TRUE(window.connectionStatusEdit->text().endsWith(QStringLiteral(" virtual")));
    EXPECT_EQ(baseOf(window.connectionStatusEdit), QColor(175, 216, 135));
}

namespace {

// Every control that shows a measurement, in the state it has when no live value is there.
void expectNothingLooksLive(ui::MainWindow& window, ui::LargeReadoutWindow& big)
{
    const auto& page = *window.measurementPage;
    const QString hyphens = QStringLiteral("----------");
    EXPECT_EQ(page.sumReadout->text(), hyphens);
    EXPECT_EQ(page.maxReadout->text(), hyphens);
    EXPECT_EQ(page.sumReadout->font(), page.sumReadout->designFont());
    EXPECT_EQ(big.valueReadout->text(), hyphens);
    EXPECT_EQ(big.maxValueReadout->text(), hyphens);
    for (const auto& c : page.channels) {
        EXPECT_EQ(c.valueLabel->text(), QStringLiteral("---"));
        EXPECT_EQ(c.statusEdit->text(), QStringLiteral("---"));
        EXPECT_NE(baseOf(c.statusEdit), QColor(165, 255, 0));
        EXPECT_EQ(c.loadLabel->text(), QStringLiteral("---%"));
        for (const auto* gauge : c.gauges) {
            EXPECT_EQ(gauge->position(), 0);
        }
    }
    for (const QLineEdit* indicator :
         {page.in1StateEdit, window.recordingPage->in2StateEdit, window.settingsPage->out1StatusEdit, window.settingsPage->out2StatusEdit}) {
        EXPECT_EQ(indicator->text(), QStringLiteral("---")) << indicator->objectName().toStdString();
        EXPECT_NE(baseOf(indicator), QColor(175, 216, 135));
        EXPECT_NE(baseOf(indicator), QColor(253, 124, 102));
    }
    EXPECT_EQ(window.settingsPage->rs485RateLabel->text(), QStringLiteral("---"));
}

} // namespace

TEST_F(MainWindowFixture, WithoutATransducerEveryLiveValueShowsHyphens)
{
    window.displayTick();
    expectNothingLooksLive(window, big);
}

TEST_F(MainWindowFixture, TickShowsReadoutsChannelsIndicatorsAndRates)
{
    auto dev = connect();
    window.settingsPage->decimalsList->setCurrentIndex(2);
    deliver(*dev, sample());
    window.displayTick();

    EXPECT_EQ(page().sumReadout->text(), QStringLiteral("1,234.50"));
    EXPECT_EQ(page().maxReadout->text(), QStringLiteral("1,500.00"));
    const auto& ch = page().channels;
    EXPECT_EQ(ch[0].statusEdit->text(), QStringLiteral("Pomiar stabilny"));
    EXPECT_EQ(baseOf(ch[0].statusEdit), QColor(165, 255, 0));
    EXPECT_EQ(ch[0].valueLabel->text(), QStringLiteral("12.25"));
    EXPECT_EQ(ch[0].loadLabel->text(), QStringLiteral("0%"));

    EXPECT_EQ(ch[1].statusEdit->text(), QStringLiteral("Brak czujnika"));
    EXPECT_EQ(baseOf(ch[1].statusEdit), QColor(211, 211, 211));
    EXPECT_EQ(ch[1].valueLabel->text(), QStringLiteral("---"));
    EXPECT_EQ(ch[1].gauges[0]->position(), 100); // the bars still follow the load
    EXPECT_EQ(ch[1].gauges[1]->position(), 30);

    EXPECT_EQ(ch[2].statusEdit->text(), QStringLiteral("---")); // unknown status: left as it was
    EXPECT_EQ(ch[2].valueLabel->text(), QStringLiteral("-7.50"));
    EXPECT_EQ(ch[2].gauges[2]->position(), 25);

    EXPECT_EQ(ch[3].statusEdit->text(), QStringLiteral("Błąd przetwornika"));
    EXPECT_EQ(ch[3].valueLabel->text(), QStringLiteral("---"));
    EXPECT_EQ(ch[3].loadLabel->text(), QStringLiteral("250%"));
    for (auto* gauge : ch[3].gauges) {
        EXPECT_EQ(gauge->position(), gauge->maximum());
    }

    EXPECT_EQ(page().in1StateEdit->text(), QStringLiteral("OFF"));
    EXPECT_EQ(baseOf(page().in1StateEdit), QColor(253, 124, 102));
    EXPECT_EQ(window.recordingPage->in2StateEdit->text(), QStringLiteral("ON"));
    EXPECT_EQ(baseOf(window.recordingPage->in2StateEdit), QColor(175, 216, 135));
    EXPECT_EQ(window.settingsPage->out1StatusEdit->text(), QStringLiteral("ON"));
    EXPECT_EQ(window.settingsPage->out2StatusEdit->text(), QStringLiteral("OFF"));
    EXPECT_EQ(window.settingsPage->rs485RateLabel->text(), QStringLiteral("17"));
    EXPECT_EQ(window.settingsPage->ethernetRateLabel->text(), QStringLiteral("4"));

    EXPECT_EQ(big.valueReadout->text(), page().sumReadout->text());
    EXPECT_EQ(big.maxValueReadout->text(), page().maxReadout->text());
    EXPECT_EQ(big.captionHeader->caption(), QStringLiteral("Wartość sumaryczna"));
}

TEST_F(MainWindowFixture, ZeroDecimalsRoundToAWholeNumber)
{
    auto dev = connect();
    window.settingsPage->decimalsList->setCurrentIndex(0);
    auto m = sample();
    m.SumValue = 12.5F;
    deliver(*dev, m);
    window.displayTick();
    EXPECT_EQ(page().sumReadout->text(), QStringLiteral("13"));
}

TEST_F(MainWindowFixture, SelectionDecidesReadoutTareAndLargeWindowCaption)
{
    auto dev = connect();
    deliver(*dev, sample());
    page().showSensor3Radio->setChecked(true);
    window.displayTick();
    EXPECT_EQ(page().sumReadout->text(), QStringLiteral("-7.5"));
    EXPECT_EQ(big.captionHeader->caption(), QStringLiteral("Czujnik 3"));
    EXPECT_EQ(big.valueReadout->text(), QStringLiteral("-7.5"));

    dev->clearWrites();
    page().tareButton->click();
    page().showSumRadio->setChecked(true);
    page().tareButton->click();
    page().resetMaxButton->click();
    big.resetMaxButton->click();
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{link::CMD_ZERO_SENSOR3, link::CMD_TARE_SUM,
                                                       link::CMD_RESET_MIN_MAX, link::CMD_RESET_MIN_MAX}));
    EXPECT_FALSE(window.link().pollTimer().isEnabled()); // each request suspends polling
}

TEST_F(MainWindowFixture, AfterALostLinkNothingLooksLiveUntilTheNextMeasurement)
{
    window.show();
    auto dev = connect();
    auto m = sample();
    m.ChannelStatus = {3, 3, 3, 3};
    m.InputState = 0x03;
    m.OutputState = 0x03;
    m.SumValue = -12345678.9F; // drawn smaller than designed
    deliver(*dev, m);
    window.displayTick();
    ASSERT_NE(page().sumReadout->font(), page().sumReadout->designFont());
    ASSERT_EQ(page().channels[0].statusEdit->text(), QStringLiteral("Pomiar stabilny"));

    backend.clear();
    backend.notifyChange();
    window.displayTick();
    EXPECT_EQ(window.connectionStatusEdit->text(), QStringLiteral("Brak połączenia"));
    expectNothingLooksLive(window, big);

    // Linked again: the old record is not shown until a new measurement arrives.
    dev = connect();
    window.displayTick();
    expectNothingLooksLive(window, big);
    deliver(*dev, sample());
    window.displayTick();
    EXPECT_EQ(page().sumReadout->text(), QStringLiteral("1,234.5"));
    EXPECT_EQ(page().channels[2].valueLabel->text(), QStringLiteral("-7.5"));
    EXPECT_EQ(page().channels[0].statusEdit->text(), QStringLiteral("Pomiar stabilny"));
    EXPECT_EQ(big.valueReadout->text(), QStringLiteral("1,234.5"));
}

TEST_F(MainWindowFixture, FramesPerSecondLabelCountsReportsOfTheLastSecond)
{
    auto dev = connect();
    for (int i = 0; i < 3; ++i) {
        deliver(*dev, sample());
    }
    window.fpsTick();
    EXPECT_EQ(window.fpsLabel->text(), QStringLiteral("Fps: 3/s"));
    window.fpsTick();
    EXPECT_EQ(window.fpsLabel->text(), QStringLiteral("Fps: 0/s"));
}

TEST_F(MainWindowFixture, PageChangeStartsThePollExceptOnTheSettingsPage)
{
    auto& poll = window.link().pollTimer();
    poll.stop();
    window.pageTabs->setCurrentIndex(3);
    EXPECT_FALSE(poll.isEnabled());
    window.pageTabs->setCurrentIndex(0); // also while not connected; the polls are dropped
    EXPECT_TRUE(poll.isEnabled());
}

TEST(LargeWindow, OpensWithinTheAvailableScreen)
{
    ui::LargeReadoutWindow big;
    big.show();
    const QRect available = big.screen()->availableGeometry();
    ASSERT_LT(available.width(), ui::LargeReadoutWindow::kDesignWidth) << "the test needs a screen narrower than the window";
    EXPECT_TRUE(available.contains(big.frameGeometry()))
        << big.frameGeometry().width() << "x" << big.frameGeometry().height();
}

TEST(LargeWindow, DigitsScaleWithTheOuterSize)
{
    EXPECT_EQ(ui::LargeReadoutWindow::digitPointSize(800, 300), 87);
    EXPECT_EQ(ui::LargeReadoutWindow::digitPointSize(15, 7), 0);
    ui::LargeReadoutWindow big;
    big.resize(800, 300);
    big.show();
    // The platform may add a frame: the rule works on the outer size, whatever it is.
    const auto expected = [&] {
        const QRect outer = big.frameGeometry();
        return ui::LargeReadoutWindow::digitPointSize(outer.width(), outer.height());
    };
    waitUntil([&] { return big.valueReadout->font().pointSize() == expected(); }, 1000);
    EXPECT_EQ(big.valueReadout->designFont().pointSize(), expected());
    EXPECT_EQ(big.valueReadout->font().pointSize(), expected()); // "00.0" fits at the designed size
    EXPECT_GE(expected(), 87);
    EXPECT_EQ(big.maxValueReadout->font().pixelSize(), 64); // only the main digits scale
}

TEST_F(MainWindowFixture, LargeChannelValuesFitTheirLabels)
{
    auto dev = connect();
    window.show();
    window.settingsPage->decimalsList->setCurrentIndex(2);
    auto m = sample();
    m.ChannelStatus = {3, 3, 3, 3};
    m.ChannelValue = {-12345.67F, 99999.99F, 1249.9F, -0.5F};
    deliver(*dev, m);
    window.displayTick();
    for (const auto& c : page().channels) {
        const QString text = c.valueLabel->text();
        EXPECT_GE(c.valueLabel->contentsRect().width(), c.valueLabel->fontMetrics().horizontalAdvance(text))
            << text.toStdString();
    }
    EXPECT_EQ(page().channels[3].valueLabel->font().pixelSize(), 32); // a short value keeps its size
    m.SumValue = -12345678.9F;
    deliver(*dev, m);
    window.displayTick();
    EXPECT_GE(page().sumReadout->contentsRect().width(),
              page().sumReadout->fontMetrics().horizontalAdvance(page().sumReadout->text()));
}

namespace {
void expectWholeTextInside(const QLabel* label, const char* what)
{
    const QFontMetrics metrics = label->fontMetrics();
    const QString text = label->text();
    EXPECT_LE(std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).width()),
              label->contentsRect().width())
        << what << " '" << text.toStdString() << "' at " << label->width() << "x" << label->height();
    EXPECT_LE(metrics.height(), label->contentsRect().height()) << what << " '" << text.toStdString() << "'";
}
} // namespace

TEST_F(MainWindowFixture, TheLargeWindowShowsEveryValueWhole)
{
    struct Size {
        int width;
        int height;
    };
    const float values[] = {1105.4F, 1102.8439F, 12347173.0F, -99999.99F, 0.5F};
    const Size sizes[] = {{1098, 251}, {1920, 1080}, {1920, 300}, {800, 300}, {400, 150}};
    auto dev = connect();
    emit window.settingsPage->unitsTextChanged(QStringLiteral(" kN"));
    big.show();
    for (const Size size : sizes) {
        big.resize(size.width, size.height);
        QCoreApplication::processEvents();
        for (int decimals = 0; decimals <= 4; ++decimals) {
            window.settingsPage->decimalsList->setCurrentIndex(decimals);
            for (const float value : values) {
                auto m = sample();
                m.SumValue = value;
                m.DeviceMax = value;
                deliver(*dev, m);
                window.displayTick();
                SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << ", " << decimals
                                                << " decimals, " << value);
                ASSERT_EQ(big.valueReadout->text(), page().sumReadout->text());
                EXPECT_TRUE(big.valueReadout->text().endsWith(QStringLiteral(" kN")));
                expectWholeTextInside(big.valueReadout, "LED_display");
                expectWholeTextInside(big.maxValueReadout, "DispMax");
            }
        }
    }
    // A short value after a long one is drawn at the designed size again.
    auto m = sample();
    m.SumValue = 1.0F;
    deliver(*dev, m);
    window.displayTick();
    EXPECT_EQ(big.valueReadout->font(), big.valueReadout->designFont());
}
