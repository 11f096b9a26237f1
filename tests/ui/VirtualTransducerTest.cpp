// The real main window against the virtual transducer, through the same backend interface that
// hidapi implements. The transducer runs on a simulated clock that the test advances.

#include "LinkTestSupport.h"
#include "QtPrinters.h"

#include "link/Protocol.h"
#include "sim/SimBackend.h"
#include "ui/MainWindow.h"
#include "ui/pages/MeasurementPage.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/pages/SettingsPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <algorithm>

using namespace qmx;
using namespace std::chrono_literals;
using qmx::test::waitUntil;

namespace {

class VirtualTransducerFixture : public ::testing::Test {
protected:
    VirtualTransducerFixture() : sim(sim::SimBackend::Clock::Manual), window(sim)
    {
        window.link().setDecimalSeparator(u'.');
    }

    /// Waits for the whole start-up exchange: link state, info, both settings blocks, link state.
    bool connected()
    {
        return waitUntil([&] {
            return window.ConnectionStatus->text().startsWith(QStringLiteral("Połączono z")) &&
                   sim.transducer().receivedCodes().size() >= 5 && window.link().ZylTimer_ReadData().isEnabled();
        });
    }

    /// Polls once and lets one simulated second of measurements arrive.
    void streamOneSecond()
    {
        const int before = window.link().frameCount();
        window.link().ZylTimer_ReadDataTimer();
        ASSERT_TRUE(waitUntil([&] { return sim.transducer().streaming(); }));
        sim.advance(1s);
        ASSERT_TRUE(waitUntil([&] { return window.link().frameCount() >= before + 100; }));
    }

    sim::SimBackend sim;
    ui::TForm1 window;
};

} // namespace

TEST_F(VirtualTransducerFixture, StartUpExchangeFillsTheConnectionTextAndTheSettingsPages)
{
    ASSERT_TRUE(connected());
    EXPECT_EQ(window.ConnectionStatus->text(), QStringLiteral("Połączono z QMX80NET : 1.05 virtual"));
    const auto codes = sim.transducer().receivedCodes();
    const std::vector<std::uint8_t> chain{link::CMD_SET_LINK_STATE, link::CMD_GET_INFO, link::CMD_GET_SENSOR_SETTINGS,
                                          link::CMD_GET_IO_SETTINGS, link::CMD_SET_LINK_STATE};
    ASSERT_GE(codes.size(), chain.size());
    EXPECT_TRUE(std::equal(chain.begin(), chain.end(), codes.begin()));
    const auto& sensors = *window.TabSheet5->TabSheet6;
    EXPECT_EQ(sensors.sensors[0].range->text(), QString::number(sim.transducer().sensorSettings().Range[0]));
    EXPECT_EQ(window.UnitsText(), QStringLiteral(" N"));
}

TEST_F(VirtualTransducerFixture, LiveValuesReachTheReadouts)
{
    ASSERT_TRUE(connected());
    streamOneSecond();
    window.DisplayDataTimer();
    const auto& page = *window.TabSheet1;
    EXPECT_TRUE(page.DisplaySum->text().endsWith(QStringLiteral(" N"))) << page.DisplaySum->text().toStdString();
    EXPECT_NE(page.channels[0].statusEdit->text(), QStringLiteral("---"));
    window.TimFpsTimer();
    EXPECT_TRUE(window.Label_FpsData->text().startsWith(QStringLiteral("Fps: 1")));
}

TEST_F(VirtualTransducerFixture, TareOfTheSumIsConfirmedInTheStatusLine)
{
    ASSERT_TRUE(connected());
    window.TabSheet1->RadioButton_DispSum->setChecked(true);
    window.TabSheet1->BtnTara->click();
    ASSERT_TRUE(waitUntil([&] { return window.Label_Status->text() == QStringLiteral("Wartość wytarowana"); }));
    EXPECT_EQ(sim.transducer().receivedCodes().back(), link::CMD_TARE_SUM);
}

TEST_F(VirtualTransducerFixture, UnplugAndReplugRunTheStartUpAgain)
{
    ASSERT_TRUE(connected());
    sim.unplug();
    ASSERT_TRUE(waitUntil([&] { return window.ConnectionStatus->text() == QStringLiteral("Brak połączenia"); }));
    window.DisplayDataTimer();
    EXPECT_EQ(window.TabSheet1->DisplaySum->text(), QStringLiteral("----------"));
    sim.transducer().clearReceivedRequests();
    sim.replug();
    ASSERT_TRUE(connected());
    EXPECT_EQ(sim.transducer().receivedCodes().front(), link::CMD_SET_LINK_STATE);
}

TEST_F(VirtualTransducerFixture, AnUnansweredRequestDoesNotStopTheLiveReadingsForever)
{
    ASSERT_TRUE(connected());
    window.link().setReplyTimeout(50);
    sim.transducer().dropRepliesTo(link::CMD_RESET_MIN_MAX, 1);
    window.TabSheet1->Btn_ResetMinMax->click();
    EXPECT_FALSE(window.link().ZylTimer_ReadData().isEnabled());
    EXPECT_TRUE(waitUntil([&] { return window.link().ZylTimer_ReadData().isEnabled(); }));
}
