#include "FakeBackend.h"
#include "LinkTestSupport.h"

#include "link/Protocol.h"
#include "ui/MainWindow.h"
#include "ui/pages/MeasurementPage.h"
#include "ui/pages/RecordingPage.h"
#include "ui/pages/SettingsPage.h"
#include "ui/widgets/HeaderBar.h"
#include "ui/widgets/LoadGauge.h"
#include "ui/windows/TFormBigDisplay.h"

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
        window.JvHidDeviceController1DeviceChange();
        EXPECT_TRUE(window.link().connected());
        return dev;
    }

    void deliver(FakeDeviceState& dev, const link::Measurement& m)
    {
        const auto before = window.link().measurementsHandled();
        dev.inject(measurementReport(m));
        ASSERT_TRUE(waitUntil([&] { return window.link().measurementsHandled() > before; }));
    }

    ui::MeasurementPage& page() { return *window.TabSheet1; }

    FakeBackend backend;
    ui::TForm1 window;
    ui::TFormBigDisplay big;
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
    EXPECT_EQ(window.ConnectionStatus->text(), QStringLiteral("Brak połączenia"));
    EXPECT_EQ(baseOf(window.ConnectionStatus), QColor(253, 124, 102));
    EXPECT_EQ(window.TabSheet5->Cb_ModbusAddress->count(), 247);
    EXPECT_EQ(window.TabSheet5->Cb_ModbusAddress->itemText(246), QStringLiteral("247"));
    EXPECT_EQ(window.TabSheet5->Cb_ModbusAddress->currentIndex(), 0);
    EXPECT_EQ(window.minimumSize(), QSize(682, 672));
    EXPECT_EQ(window.PageControl1->currentIndex(), 0);
    EXPECT_EQ(window.Label_FpsData->text(), QStringLiteral("Fps: 0"));
    EXPECT_TRUE(page().RadioButton_DispSum->isChecked());
    EXPECT_FALSE(window.siLangCombo1->isVisibleTo(&window));
    EXPECT_FALSE(window.Label20->isVisibleTo(&window));
}

TEST_F(MainWindowFixture, ConnectionShowsConnectedOnLightGreenThenTheConnectionText)
{
    auto dev = connect();
    EXPECT_EQ(window.ConnectionStatus->text(), QStringLiteral("Połączony"));
    EXPECT_EQ(baseOf(window.ConnectionStatus), QColor(175, 216, 135));
    dev->inject(test::reply({link::CMD_SET_LINK_STATE, 0}));
    ASSERT_TRUE(waitUntil([&] { return dev->codes().size() == 2; }));
    dev->inject(test::reply({link::CMD_GET_INFO, 105, 'v', 'i', 'r', 't', 'u', 'a', 'l'}));
    ASSERT_TRUE(waitUntil([&] { return window.ConnectionStatus->text().startsWith(QStringLiteral("Połączono z")); }));
    EXPECT_TRUE(window.ConnectionStatus->text().endsWith(QStringLiteral(" virtual")));
    EXPECT_EQ(baseOf(window.ConnectionStatus), QColor(175, 216, 135));
}

namespace {

// Every control that shows a measurement, in the state it has when no live value is there.
void expectNothingLooksLive(ui::TForm1& window, ui::TFormBigDisplay& big)
{
    const auto& page = *window.TabSheet1;
    const QString hyphens = QStringLiteral("----------");
    EXPECT_EQ(page.DisplaySum->text(), hyphens);
    EXPECT_EQ(page.DisplayMax->text(), hyphens);
    EXPECT_EQ(page.DisplaySum->font(), page.DisplaySum->designFont());
    EXPECT_EQ(big.LED_display->text(), hyphens);
    EXPECT_EQ(big.DispMax->text(), hyphens);
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
         {page.Edit_IN1, window.TabSheet3->Edit_IN2, window.TabSheet5->Out1Status, window.TabSheet5->Out2Status}) {
        EXPECT_EQ(indicator->text(), QStringLiteral("---")) << indicator->objectName().toStdString();
        EXPECT_NE(baseOf(indicator), QColor(175, 216, 135));
        EXPECT_NE(baseOf(indicator), QColor(253, 124, 102));
    }
    EXPECT_EQ(window.TabSheet5->Label_Rs485FPS->text(), QStringLiteral("---"));
}

} // namespace

TEST_F(MainWindowFixture, WithoutATransducerEveryLiveValueShowsHyphens)
{
    window.DisplayDataTimer();
    expectNothingLooksLive(window, big);
}

TEST_F(MainWindowFixture, TickShowsReadoutsChannelsIndicatorsAndRates)
{
    auto dev = connect();
    window.TabSheet5->Cb_Decp->setCurrentIndex(2);
    deliver(*dev, sample());
    window.DisplayDataTimer();

    EXPECT_EQ(page().DisplaySum->text(), QStringLiteral("1,234.50"));
    EXPECT_EQ(page().DisplayMax->text(), QStringLiteral("1,500.00"));
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

    EXPECT_EQ(page().Edit_IN1->text(), QStringLiteral("OFF"));
    EXPECT_EQ(baseOf(page().Edit_IN1), QColor(253, 124, 102));
    EXPECT_EQ(window.TabSheet3->Edit_IN2->text(), QStringLiteral("ON"));
    EXPECT_EQ(baseOf(window.TabSheet3->Edit_IN2), QColor(175, 216, 135));
    EXPECT_EQ(window.TabSheet5->Out1Status->text(), QStringLiteral("ON"));
    EXPECT_EQ(window.TabSheet5->Out2Status->text(), QStringLiteral("OFF"));
    EXPECT_EQ(window.TabSheet5->Label_Rs485FPS->text(), QStringLiteral("17"));
    EXPECT_EQ(window.TabSheet5->Label_EthFps->text(), QStringLiteral("4"));

    EXPECT_EQ(big.LED_display->text(), page().DisplaySum->text());
    EXPECT_EQ(big.DispMax->text(), page().DisplayMax->text());
    EXPECT_EQ(big.Label_ActualVal->caption(), QStringLiteral("Wartość sumaryczna"));
}

TEST_F(MainWindowFixture, ZeroDecimalsRoundToAWholeNumber)
{
    auto dev = connect();
    window.TabSheet5->Cb_Decp->setCurrentIndex(0);
    auto m = sample();
    m.SumValue = 12.5F;
    deliver(*dev, m);
    window.DisplayDataTimer();
    EXPECT_EQ(page().DisplaySum->text(), QStringLiteral("13"));
}

TEST_F(MainWindowFixture, SelectionDecidesReadoutTareAndLargeWindowCaption)
{
    auto dev = connect();
    deliver(*dev, sample());
    page().RadioButton_DispS3->setChecked(true);
    window.DisplayDataTimer();
    EXPECT_EQ(page().DisplaySum->text(), QStringLiteral("-7.5"));
    EXPECT_EQ(big.Label_ActualVal->caption(), QStringLiteral("Czujnik 3"));
    EXPECT_EQ(big.LED_display->text(), QStringLiteral("-7.5"));

    dev->clearWrites();
    page().BtnTara->click();
    page().RadioButton_DispSum->setChecked(true);
    page().BtnTara->click();
    page().Btn_ResetMinMax->click();
    big.Btn_ResetMinMax->click();
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{link::CMD_ZERO_SENSOR3, link::CMD_TARE_SUM,
                                                       link::CMD_RESET_MIN_MAX, link::CMD_RESET_MIN_MAX}));
    EXPECT_FALSE(window.link().ZylTimer_ReadData().isEnabled()); // each request suspends polling
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
    window.DisplayDataTimer();
    ASSERT_NE(page().DisplaySum->font(), page().DisplaySum->designFont());
    ASSERT_EQ(page().channels[0].statusEdit->text(), QStringLiteral("Pomiar stabilny"));

    backend.clear();
    backend.notifyChange();
    window.DisplayDataTimer();
    EXPECT_EQ(window.ConnectionStatus->text(), QStringLiteral("Brak połączenia"));
    expectNothingLooksLive(window, big);

    // Linked again: the old record is not shown until a new measurement arrives.
    dev = connect();
    window.DisplayDataTimer();
    expectNothingLooksLive(window, big);
    deliver(*dev, sample());
    window.DisplayDataTimer();
    EXPECT_EQ(page().DisplaySum->text(), QStringLiteral("1,234.5"));
    EXPECT_EQ(page().channels[2].valueLabel->text(), QStringLiteral("-7.5"));
    EXPECT_EQ(page().channels[0].statusEdit->text(), QStringLiteral("Pomiar stabilny"));
    EXPECT_EQ(big.LED_display->text(), QStringLiteral("1,234.5"));
}

TEST_F(MainWindowFixture, FramesPerSecondLabelCountsReportsOfTheLastSecond)
{
    auto dev = connect();
    for (int i = 0; i < 3; ++i) {
        deliver(*dev, sample());
    }
    window.TimFpsTimer();
    EXPECT_EQ(window.Label_FpsData->text(), QStringLiteral("Fps: 3/s"));
    window.TimFpsTimer();
    EXPECT_EQ(window.Label_FpsData->text(), QStringLiteral("Fps: 0/s"));
}

TEST_F(MainWindowFixture, PageChangeStartsThePollExceptOnTheSettingsPage)
{
    auto& poll = window.link().ZylTimer_ReadData();
    poll.stop();
    window.PageControl1->setCurrentIndex(3);
    EXPECT_FALSE(poll.isEnabled());
    window.PageControl1->setCurrentIndex(0); // also while not connected; the polls are dropped
    EXPECT_TRUE(poll.isEnabled());
}

TEST(LargeWindow, OpensWithinTheAvailableScreen)
{
    ui::TFormBigDisplay big;
    big.show();
    const QRect available = big.screen()->availableGeometry();
    ASSERT_LT(available.width(), ui::TFormBigDisplay::kDesignWidth) << "the test needs a screen narrower than the window";
    EXPECT_TRUE(available.contains(big.frameGeometry()))
        << big.frameGeometry().width() << "x" << big.frameGeometry().height();
}

TEST(LargeWindow, DigitsScaleWithTheOuterSize)
{
    EXPECT_EQ(ui::TFormBigDisplay::digitPointSize(800, 300), 87);
    EXPECT_EQ(ui::TFormBigDisplay::digitPointSize(15, 7), 0);
    ui::TFormBigDisplay big;
    big.resize(800, 300);
    big.show();
    // The platform may add a frame: the rule works on the outer size, whatever it is.
    const auto expected = [&] {
        const QRect outer = big.frameGeometry();
        return ui::TFormBigDisplay::digitPointSize(outer.width(), outer.height());
    };
    waitUntil([&] { return big.LED_display->font().pointSize() == expected(); }, 1000);
    EXPECT_EQ(big.LED_display->designFont().pointSize(), expected());
    EXPECT_EQ(big.LED_display->font().pointSize(), expected()); // "00.0" fits at the designed size
    EXPECT_GE(expected(), 87);
    EXPECT_EQ(big.DispMax->font().pixelSize(), 64); // only the main digits scale
}

TEST_F(MainWindowFixture, LargeChannelValuesFitTheirLabels)
{
    auto dev = connect();
    window.show();
    window.TabSheet5->Cb_Decp->setCurrentIndex(2);
    auto m = sample();
    m.ChannelStatus = {3, 3, 3, 3};
    m.ChannelValue = {-12345.67F, 99999.99F, 1249.9F, -0.5F};
    deliver(*dev, m);
    window.DisplayDataTimer();
    for (const auto& c : page().channels) {
        const QString text = c.valueLabel->text();
        EXPECT_GE(c.valueLabel->contentsRect().width(), c.valueLabel->fontMetrics().horizontalAdvance(text))
            << text.toStdString();
    }
    EXPECT_EQ(page().channels[3].valueLabel->font().pixelSize(), 32); // a short value keeps its size
    m.SumValue = -12345678.9F;
    deliver(*dev, m);
    window.DisplayDataTimer();
    EXPECT_GE(page().DisplaySum->contentsRect().width(),
              page().DisplaySum->fontMetrics().horizontalAdvance(page().DisplaySum->text()));
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
    emit window.TabSheet5->unitsTextChanged(QStringLiteral(" kN"));
    big.show();
    for (const Size size : sizes) {
        big.resize(size.width, size.height);
        QCoreApplication::processEvents();
        for (int decimals = 0; decimals <= 4; ++decimals) {
            window.TabSheet5->Cb_Decp->setCurrentIndex(decimals);
            for (const float value : values) {
                auto m = sample();
                m.SumValue = value;
                m.DeviceMax = value;
                deliver(*dev, m);
                window.DisplayDataTimer();
                SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << ", " << decimals
                                                << " decimals, " << value);
                ASSERT_EQ(big.LED_display->text(), page().DisplaySum->text());
                EXPECT_TRUE(big.LED_display->text().endsWith(QStringLiteral(" kN")));
                expectWholeTextInside(big.LED_display, "LED_display");
                expectWholeTextInside(big.DispMax, "DispMax");
            }
        }
    }
    // A short value after a long one is drawn at the designed size again.
    auto m = sample();
    m.SumValue = 1.0F;
    deliver(*dev, m);
    window.DisplayDataTimer();
    EXPECT_EQ(big.LED_display->font(), big.LED_display->designFont());
}
