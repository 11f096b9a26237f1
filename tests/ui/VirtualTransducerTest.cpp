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
        // Measurements arrive only when a test advances the simulated clock; the link's wall-clock
        // watchdogs must not fire while a loaded machine runs the test slowly. Tests of those
        // watchdogs set short limits themselves.
        window.link().setMeasurementSilenceLimit(60'000);
        window.link().setStartupRetryInterval(60'000);
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
        const auto before = window.link().measurementsHandled();
        window.link().ZylTimer_ReadDataTimer();
        ASSERT_TRUE(waitUntil([&] { return sim.transducer().streaming(); }));
        sim.advance(1s);
        ASSERT_TRUE(waitUntil([&] { return window.link().measurementsHandled() >= before + 100; }));
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

TEST_F(VirtualTransducerFixture, WithTwoTransducersTheFirstIsUsedAndNamed)
{
    sim.setTransducerCount(2);
    ASSERT_TRUE(connected());
    EXPECT_TRUE(waitUntil([&] {
        return window.Label_Status->text().contains(QString::fromStdString(sim::SimBackend::transducerPath(0)));
    })) << window.Label_Status->text().toStdString();
    EXPECT_TRUE(sim.transducer(1).receivedCodes().empty()); // the other one hears nothing
    EXPECT_EQ(window.link().currentDevice()->info().path, sim::SimBackend::transducerPath(0));
}

TEST_F(VirtualTransducerFixture, TheConnectionFieldShowsNoControlCharactersFromTheDevice)
{
    sim.transducer().setInfo(105, "\x1b[2J\x1b]0;title\x07ok\r\n");
    ASSERT_TRUE(connected());
    const QString text = window.ConnectionStatus->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Połączono z QMX80NET : 1.05 "))) << text.toStdString();
    for (const QChar c : text) {
        EXPECT_NE(c.category(), QChar::Other_Control) << text.toStdString();
    }
}

TEST_F(VirtualTransducerFixture, AnOpenFailureFitsTheStatusLineWithTheFullTextInItsToolTip)
{
    const std::string path = sim::SimBackend::transducerPath(0);
    // The reason as the hidapi backend gives it: it starts with the device path.
    sim.setOpenRefused(true, path + ": Permission denied");
    window.show();
    const QSize startingSize = window.size();
    ASSERT_TRUE(waitUntil([&] { return window.Label_Status->text().contains(QStringLiteral("Permission denied")); }));
    QCoreApplication::processEvents();
    const QString text = window.Label_Status->text();
    const QString tip = window.Label_Status->toolTip();
    const QString qpath = QString::fromStdString(path);
    EXPECT_EQ(window.size(), startingSize);
    EXPECT_LE(window.Label_Status->fontMetrics().horizontalAdvance(text), window.Label_Status->contentsRect().width())
        << text.toStdString();
    EXPECT_LE(text.count(qpath), 1) << text.toStdString();
    EXPECT_EQ(tip.count(qpath), 1) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Permission denied"))) << tip.toStdString();
}

TEST_F(VirtualTransducerFixture, MeasurementsThatStopLoseTheLinkAndTheValuesShowHyphens)
{
    ASSERT_TRUE(connected());
    streamOneSecond();
    window.DisplayDataTimer();
    ASSERT_NE(window.TabSheet1->DisplaySum->text(), QStringLiteral("----------"));
    const auto identifications = [&] {
        const auto codes = sim.transducer().receivedCodes();
        return std::count(codes.begin(), codes.end(), link::CMD_GET_INFO);
    };
    const auto before = identifications();
    // Model time stands still: the transducer sends nothing more, whatever is polled.
    window.link().setMeasurementSilenceLimit(50);
    window.link().ZylTimer_ReadDataTimer();
    ASSERT_TRUE(waitUntil([&] { return window.Label_Status->text().startsWith(QStringLiteral("Utracono")); }))
        << window.Label_Status->text().toStdString();
    window.link().setMeasurementSilenceLimit(60'000);
    window.DisplayDataTimer();
    EXPECT_EQ(window.TabSheet1->DisplaySum->text(), QStringLiteral("----------"));
    EXPECT_EQ(window.TabSheet1->channels[0].valueLabel->text(), QStringLiteral("---"));
    // The search that follows finds the transducer still attached and runs the start-up again.
    ASSERT_TRUE(waitUntil([&] {
        return identifications() > before &&
               window.ConnectionStatus->text().startsWith(QStringLiteral("Połączono z"));
    }));
    window.DisplayDataTimer();
    EXPECT_EQ(window.TabSheet1->DisplaySum->text(), QStringLiteral("----------"));
    streamOneSecond();
    window.DisplayDataTimer();
    EXPECT_NE(window.TabSheet1->DisplaySum->text(), QStringLiteral("----------"));
}
