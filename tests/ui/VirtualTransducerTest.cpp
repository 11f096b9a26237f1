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
            return window.connectionStatusEdit->text().startsWith(QStringLiteral("Połączono z")) &&
                   sim.transducer().receivedCodes().size() >= 5 && window.link().pollTimer().isEnabled();
        });
    }

    /// Polls once and lets one simulated second of measurements arrive.
    void streamOneSecond()
    {
        const auto before = window.link().measurementsHandled();
        window.link().pollTick();
        ASSERT_TRUE(waitUntil([&] { return sim.transducer().streaming(); }));
        sim.advance(1s);
        ASSERT_TRUE(waitUntil([&] { return window.link().measurementsHandled() >= before + 100; }));
    }

    sim::SimBackend sim;
    ui::MainWindow window;
};

} // namespace

TEST_F(VirtualTransducerFixture, StartUpExchangeFillsTheConnectionTextAndTheSettingsPages)
{
    ASSERT_TRUE(connected());
    EXPECT_EQ(window.connectionStatusEdit->text(), QStringLiteral("Połączono z QMX80NET : 1.05 virtual"));
    const auto codes = sim.transducer().receivedCodes();
    const std::vector<std::uint8_t> chain{link::CMD_SET_LINK_STATE, link::CMD_GET_INFO, link::CMD_GET_SENSOR_SETTINGS,
                                          link::CMD_GET_IO_SETTINGS, link::CMD_SET_LINK_STATE};
    ASSERT_GE(codes.size(), chain.size());
    EXPECT_TRUE(std::equal(chain.begin(), chain.end(), codes.begin()));
    const auto& sensors = *window.settingsPage->sensorPage;
    EXPECT_EQ(sensors.sensors[0].range->text(), QString::number(sim.transducer().sensorSettings().Range[0]));
    EXPECT_EQ(window.unitsText(), QStringLiteral(" N"));
}

TEST_F(VirtualTransducerFixture, LiveValuesReachTheReadouts)
{
    ASSERT_TRUE(connected());
    streamOneSecond();
    window.displayTick();
    const auto& page = *window.measurementPage;
    EXPECT_TRUE(page.sumReadout->text().endsWith(QStringLiteral(" N"))) << page.sumReadout->text().toStdString();
    EXPECT_NE(page.channels[0].statusEdit->text(), QStringLiteral("---"));
    window.fpsTick();
    EXPECT_TRUE(window.fpsLabel->text().startsWith(QStringLiteral("Fps: 1")));
}

TEST_F(VirtualTransducerFixture, TareOfTheSumIsConfirmedInTheStatusLine)
{
    ASSERT_TRUE(connected());
    window.measurementPage->showSumRadio->setChecked(true);
    window.measurementPage->tareButton->click();
    ASSERT_TRUE(waitUntil([&] { return window.statusLabel->text() == QStringLiteral("Wartość wytarowana"); }));
    EXPECT_EQ(sim.transducer().receivedCodes().back(), link::CMD_TARE_SUM);
}

TEST_F(VirtualTransducerFixture, UnplugAndReplugRunTheStartUpAgain)
{
    ASSERT_TRUE(connected());
    sim.unplug();
    ASSERT_TRUE(waitUntil([&] { return window.connectionStatusEdit->text() == QStringLiteral("Brak połączenia"); }));
    window.displayTick();
    EXPECT_EQ(window.measurementPage->sumReadout->text(), QStringLiteral("----------"));
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
    window.measurementPage->resetMaxButton->click();
    EXPECT_FALSE(window.link().pollTimer().isEnabled());
    EXPECT_TRUE(waitUntil([&] { return window.link().pollTimer().isEnabled(); }));
}

TEST_F(VirtualTransducerFixture, WithTwoTransducersTheFirstIsUsedAndNamed)
{
    sim.setTransducerCount(2);
    ASSERT_TRUE(connected());
    EXPECT_TRUE(waitUntil([&] {
        return window.statusLabel->text().contains(QString::fromStdString(sim::SimBackend::transducerPath(0)));
    })) << window.statusLabel->text().toStdString();
    EXPECT_TRUE(sim.transducer(1).receivedCodes().empty()); // the other one hears nothing
    EXPECT_EQ(window.link().currentDevice()->info().path, sim::SimBackend::transducerPath(0));
}

TEST_F(VirtualTransducerFixture, TheConnectionFieldShowsNoControlCharactersFromTheDevice)
{
    sim.transducer().setInfo(105, "\x1b[2J\x1b]0;title\x07ok\r\n");
    ASSERT_TRUE(connected());
    const QString text = window.connectionStatusEdit->text();
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
    ASSERT_TRUE(waitUntil([&] { return window.statusLabel->text().contains(QStringLiteral("Permission denied")); }));
    QCoreApplication::processEvents();
    const QString text = window.statusLabel->text();
    const QString tip = window.statusLabel->toolTip();
    const QString qpath = QString::fromStdString(path);
    EXPECT_EQ(window.size(), startingSize);
    EXPECT_LE(window.statusLabel->fontMetrics().horizontalAdvance(text), window.statusLabel->contentsRect().width())
        << text.toStdString();
    EXPECT_LE(text.count(qpath), 1) << text.toStdString();
    EXPECT_EQ(tip.count(qpath), 1) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Permission denied"))) << tip.toStdString();
}

TEST_F(VirtualTransducerFixture, MeasurementsThatStopLoseTheLinkAndTheValuesShowHyphens)
{
    ASSERT_TRUE(connected());
    streamOneSecond();
    window.displayTick();
    ASSERT_NE(window.measurementPage->sumReadout->text(), QStringLiteral("----------"));
    const auto identifications = [&] {
        const auto codes = sim.transducer().receivedCodes();
        return std::count(codes.begin(), codes.end(), link::CMD_GET_INFO);
    };
    const auto before = identifications();
    // Model time stands still: the transducer sends nothing more, whatever is polled.
    window.link().setMeasurementSilenceLimit(50);
    window.link().pollTick();
    ASSERT_TRUE(waitUntil([&] { return window.statusLabel->text().startsWith(QStringLiteral("Utracono")); }))
        << window.statusLabel->text().toStdString();
    window.link().setMeasurementSilenceLimit(60'000);
    window.displayTick();
    EXPECT_EQ(window.measurementPage->sumReadout->text(), QStringLiteral("----------"));
    EXPECT_EQ(window.measurementPage->channels[0].valueLabel->text(), QStringLiteral("---"));
    // The search that follows finds the transducer still attached and runs the start-up again.
    ASSERT_TRUE(waitUntil([&] {
        return identifications() > before &&
               window.connectionStatusEdit->text().startsWith(QStringLiteral("Połączono z"));
    }));
    window.displayTick();
    EXPECT_EQ(window.measurementPage->sumReadout->text(), QStringLiteral("----------"));
    streamOneSecond();
    window.displayTick();
    EXPECT_NE(window.measurementPage->sumReadout->text(), QStringLiteral("----------"));
}
