#include "LinkTestSupport.h"

#include "link/Bytes.h"
#include "link/DeviceList.h"
#include "link/Protocol.h"

#include <QSignalSpy>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace qmx;
using namespace qmx::link;
using qmx::test::FakeBackend;
using qmx::test::FakeDeviceState;
using qmx::test::reply;
using qmx::test::waitUntil;

namespace {

class LinkFixture : public ::testing::Test {
protected:
    LinkFixture()
        : controller(backend, [this](std::string_view id) { return lang::lookupText(id, language); })
    {
        controller.setDecimalSeparator(u'.');
        QObject::connect(&controller, &LinkController::linkStatusChanged,
                         [this](LinkStatus s, const QString& t) {
                             status = s;
                             statusText = t;
                         });
        QObject::connect(&controller, &LinkController::connectionTextChanged,
                         [this](const QString& t) { statusText = t; });
        QObject::connect(&controller, &LinkController::statusMessage,
                         [this](const QString& t) { statusLine = t; });
    }

    /// Adds a transducer, runs the device search and waits for the link-state request.
    std::shared_ptr<FakeDeviceState> connectTransducer()
    {
        auto dev = backend.add(u"QMX80NET");
        controller.onDeviceChange();
        EXPECT_TRUE(controller.connected());
        return dev;
    }

    /// Injects a reply and waits until it has been dispatched.
    void feed(FakeDeviceState& dev, std::vector<std::uint8_t> payload)
    {
        const int before = dispatched;
        dev.inject(std::move(payload));
        ASSERT_TRUE(waitUntil([&] { return dispatched > before; }));
    }

    FakeBackend backend;
    lang::Language language = lang::Language::Polish;
    LinkController controller;
    LinkStatus status = LinkStatus::NoConnection;
    QString statusText;
    QString statusLine;
    int dispatched = 0;

    void SetUp() override
    {
        QObject::connect(&controller, &LinkController::replyDispatched, [this](std::uint8_t) { ++dispatched; });
    }
};

} // namespace

// ---------------------------------------------------------------- discovery

TEST_F(LinkFixture, NoHidDeviceMeansNoConnection)
{
    controller.onDeviceChange();
    EXPECT_EQ(status, LinkStatus::NoConnection);
    EXPECT_EQ(statusText, QStringLiteral("Brak połączenia"));
    EXPECT_FALSE(controller.connected());
}

TEST_F(LinkFixture, OnlyOtherDevicesMeansDisconnectedAndNothingIsOpened)
{
    backend.add(u"USB Keyboard");
    backend.add(u"Optical Mouse");
    controller.onDeviceChange();
    EXPECT_EQ(status, LinkStatus::Disconnected);
    EXPECT_EQ(statusText, QStringLiteral("Rozłączony"));
    EXPECT_EQ(backend.opens(), 0);
    ASSERT_EQ(controller.deviceList().size(), 2U);
    EXPECT_EQ(controller.deviceList()[1].text, QStringLiteral("Optical Mouse"));
}

TEST_F(LinkFixture, DeviceWithoutProductStringIsLabelledByItsIds)
{
    backend.add(u"", 0x1A2B, 0x00FF);
    controller.onDeviceChange();
    ASSERT_EQ(controller.deviceList().size(), 1U);
    EXPECT_EQ(controller.deviceList()[0].text, QStringLiteral("Device VID=1A2B PID=00FF"));
}

TEST_F(LinkFixture, ProductStringMustMatchExactly)
{
    for (const std::u16string name : {u"qmx80net", u"QMX80NET ", u" QMX80NET", u"QMX80NET2"}) {
        backend.clear();
        backend.add(name);
        controller.onDeviceChange();
        EXPECT_FALSE(controller.connected()) << QString::fromStdU16String(name).toStdString();
        EXPECT_EQ(status, LinkStatus::Disconnected);
    }
    EXPECT_EQ(backend.opens(), 0);
}

TEST_F(LinkFixture, ConnectingSendsLinkStateFlagZero)
{
    auto dev = connectTransducer();
    EXPECT_EQ(status, LinkStatus::Connected);
    EXPECT_EQ(statusText, QStringLiteral("Połączony"));
    EXPECT_EQ(controller.pendingCommand(), CMD_GET_INFO);
    const auto writes = dev->writes();
    ASSERT_EQ(writes.size(), 1U);
    ASSERT_EQ(writes[0].size(), 65U);
    EXPECT_EQ(writes[0][0], 0x01);
    EXPECT_EQ(writes[0][1], CMD_SET_LINK_STATE);
    for (std::size_t i = 2; i < writes[0].size(); ++i) {
        EXPECT_EQ(writes[0][i], 0) << i;
    }
}

TEST_F(LinkFixture, TransducerThatCannotBeOpenedReadWriteSaysWhy)
{
    backend.add(u"QMX80NET", 0x1234, 0x5678, /*openable=*/false);
    controller.onDeviceChange();
    EXPECT_FALSE(controller.connected());
    EXPECT_EQ(status, LinkStatus::NoConnection);
    EXPECT_TRUE(statusLine.contains(QStringLiteral("Permission denied"))) << statusLine.toStdString();
}

TEST_F(LinkFixture, OfTwoTransducersOnlyTheFirstListedIsLinkedAndNamed)
{
    auto first = backend.add(u"QMX80NET");
    backend.add(u"Keyboard");
    auto second = backend.add(u"QMX80NET");
    controller.onDeviceChange();
    EXPECT_EQ(first->codes(), std::vector<std::uint8_t>{CMD_SET_LINK_STATE});
    EXPECT_TRUE(second->codes().empty());
    EXPECT_EQ(backend.opens(), 1); // the other one is not even opened, so nothing of it is dispatched
    EXPECT_EQ(controller.currentDevice()->info().path, backend.entries()[0].info.path);
    EXPECT_TRUE(statusLine.contains(QString::fromStdString(backend.entries()[0].info.path))) << statusLine.toStdString();
    EXPECT_TRUE(statusLine.contains(QStringLiteral("2"))) << statusLine.toStdString();

    feed(*first, reply({CMD_SET_LINK_STATE, 0}));
    EXPECT_EQ(first->codes(), (std::vector<std::uint8_t>{CMD_SET_LINK_STATE, CMD_GET_INFO}));
    EXPECT_TRUE(second->codes().empty());
}

TEST_F(LinkFixture, WhenTheFirstTransducerCannotBeOpenedTheNextIsLinked)
{
    backend.add(u"QMX80NET", 0x1234, 0x5678, /*openable=*/false);
    auto second = backend.add(u"QMX80NET");
    controller.onDeviceChange();
    EXPECT_TRUE(controller.connected());
    EXPECT_EQ(status, LinkStatus::Connected);
    EXPECT_EQ(second->codes(), std::vector<std::uint8_t>{CMD_SET_LINK_STATE});
}

TEST_F(LinkFixture, UnplugLeavesDisconnectedOrNoConnectionAndDropsRequests)
{
    backend.add(u"Keyboard");
    auto dev = connectTransducer();
    backend.remove(1);
    backend.notifyChange();
    EXPECT_FALSE(controller.connected());
    EXPECT_EQ(status, LinkStatus::Disconnected);
    controller.sendCommand(CMD_GET_INFO);
    EXPECT_EQ(dev->codes().size(), 1U); // only the link-state request of the connection

    backend.clear();
    backend.notifyChange();
    EXPECT_EQ(status, LinkStatus::NoConnection);
}

TEST_F(LinkFixture, ReplugRunsTheStartUpAgain)
{
    auto dev = connectTransducer();
    backend.remove(0);
    backend.notifyChange();
    auto again = backend.add(u"QMX80NET");
    backend.notifyChange();
    EXPECT_TRUE(controller.connected());
    EXPECT_EQ(again->codes(), std::vector<std::uint8_t>{CMD_SET_LINK_STATE});
}

TEST_F(LinkFixture, UnrelatedDevicePluggedWhileConnectedKeepsTheLink)
{
    auto dev = connectTransducer();
    const int opensBefore = backend.opens();
    const auto current = controller.currentDevice();
    backend.add(u"USB Keyboard");
    backend.notifyChange();
    EXPECT_TRUE(controller.connected());
    EXPECT_EQ(controller.currentDevice(), current);
    EXPECT_EQ(backend.opens(), opensBefore);
    EXPECT_EQ(dev->codes().size(), 1U); // no second start-up exchange
    EXPECT_EQ(controller.deviceList().size(), 2U);
    // Replies still arrive through the kept device.
    feed(*dev, reply({CMD_SET_LINK_STATE, 0}));
    EXPECT_EQ(dev->codes().back(), CMD_GET_INFO);
}

TEST_F(LinkFixture, DeviceChangeAfterTheTransducerFailedReconnects)
{
    controller.setStartupRetryInterval(60'000); // no later search of its own within this test
    auto dev = connectTransducer();
    dev->unplug(); // the reader sees the device fail, but the path is still listed
    // The failure alone searches at once; the node fails again at once, so the next search waits.
    ASSERT_TRUE(waitUntil([&] { return backend.opens() == 2 && !controller.connected(); }));
    backend.entries()[0].state->gone = false;
    backend.notifyChange();
    EXPECT_EQ(backend.opens(), 3);
    EXPECT_TRUE(controller.connected());
}

// ---------------------------------------------------------------- dispatcher

TEST_F(LinkFixture, FullStartUpChain)
{
    QSignalSpy sensorSpy(&controller, &LinkController::sensorSettingsReceived);
    QSignalSpy ioSpy(&controller, &LinkController::ioSettingsReceived);
    auto dev = connectTransducer();
    feed(*dev, reply({CMD_SET_LINK_STATE, 0}));
    feed(*dev, reply({CMD_GET_INFO, 105, 'v', 'i', 'r', 't', 'u', 'a', 'l', 0, 'x'}));
    EXPECT_EQ(statusText, QStringLiteral("Połączono z QMX80NET : 1.05 virtual"));
    EXPECT_EQ(status, LinkStatus::Connected);
    feed(*dev, reply({CMD_GET_SENSOR_SETTINGS}));
    feed(*dev, reply({CMD_GET_IO_SETTINGS}));
    feed(*dev, reply({CMD_SET_LINK_STATE, 1}));

    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{CMD_SET_LINK_STATE, CMD_GET_INFO, CMD_GET_SENSOR_SETTINGS,
                                                       CMD_GET_IO_SETTINGS, CMD_SET_LINK_STATE}));
    EXPECT_EQ(dev->writes().back()[2], 1); // flag 1 at the end of the read-out
    EXPECT_EQ(sensorSpy.count(), 1);
    EXPECT_EQ(ioSpy.count(), 1);
    EXPECT_TRUE(controller.pollTimer().isEnabled());
}

TEST_F(LinkFixture, LinkStateAcknowledgementSendsOnlyThePendingCommand)
{
    auto dev = connectTransducer();
    for (std::uint8_t flag : {1, 2, 0xFF}) {
        dev->clearWrites();
        feed(*dev, reply({CMD_SET_LINK_STATE, flag}));
        EXPECT_TRUE(dev->writes().empty()) << int(flag);
    }
    feed(*dev, reply({CMD_SET_LINK_STATE, 0}));
    EXPECT_EQ(dev->codes(), std::vector<std::uint8_t>{CMD_GET_INFO});
    EXPECT_EQ(dev->writes()[0].size(), 65U);
}

TEST_F(LinkFixture, ConnectionTextVersions)
{
    struct Case {
        std::uint8_t version;
        QChar separator;
        std::vector<std::uint8_t> text;
        const char* expected;
    };
    const Case cases[] = {
        {0, u'.', {'A', 'B', 'C'}, "Połączono z QMX80NET : 0.00 ABC"},
        {5, u'.', {'A'}, "Połączono z QMX80NET : 0.05 A"},
        {0x7F, u'.', {}, "Połączono z QMX80NET : 1.27 "},
        {105, u',', {'v'}, "Połączono z QMX80NET : 1,05 v"},
        {0x80, u'.', {'n'}, "Połączono z QMX80NET : -1.28 n"},
        {0xFF, u'.', {'n'}, "Połączono z QMX80NET : -0.01 n"},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> r{CMD_GET_INFO, c.version};
        r.insert(r.end(), c.text.begin(), c.text.end());
        const auto info = decodeDeviceInfo(r); // text runs to the end of a reply without a zero
        ASSERT_TRUE(info);
        EXPECT_EQ(connectionText(*info, c.separator), QString::fromUtf8(c.expected));
    }
}

TEST_F(LinkFixture, MeasurementWhileStoppedLeavesPollStoppedAndZeroingReplyRestartsIt)
{
    auto dev = connectTransducer();
    controller.sendCommand(CMD_ZERO_SENSOR1);
    EXPECT_FALSE(controller.pollTimer().isEnabled());
    std::vector<std::uint8_t> meas(64, 0);
    meas[0] = CMD_GET_MEASUREMENT;
    feed(*dev, meas);
    EXPECT_FALSE(controller.pollTimer().isEnabled());
    EXPECT_EQ(controller.frameCount(), 1);
    feed(*dev, reply({CMD_ZERO_SENSOR1}));
    EXPECT_TRUE(controller.pollTimer().isEnabled());
}

TEST_F(LinkFixture, UnlistedCodesOnlyRearmThePoll)
{
    auto dev = connectTransducer();
    for (std::uint8_t code : {0x92, 0x94, 0x7F}) {
        controller.pollTimer().stop();
        dev->clearWrites();
        statusLine.clear();
        feed(*dev, reply({code, 0, 0}));
        EXPECT_TRUE(controller.pollTimer().isEnabled()) << int(code);
        EXPECT_TRUE(dev->writes().empty());
        EXPECT_TRUE(statusLine.isEmpty());
    }
}

TEST_F(LinkFixture, RepliesWithStatusTextsAndChainedRequests)
{
    struct Case {
        std::uint8_t code;
        const char* polish;
        const char* english;
        std::vector<std::uint8_t> next; // requests sent in reaction
    };
    const Case cases[] = {
        {CMD_TARE_SUM, "Wartość wytarowana", "Tare ok", {}},
        {CMD_RESET_MIN_MAX, "Wartosc Min/Max zresetowana", "Min/max values reset", {}},
        {CMD_SET_SENSOR_SETTINGS, "Parametry wejść tensometrycznych zapisane", "Parameters sensor saved",
         {CMD_GET_SENSOR_SETTINGS}},
        {CMD_SET_IO_SETTINGS, "Parametry wejść-wyjść zapisane", "Parameters input-output saved", {CMD_GET_IO_SETTINGS}},
        {CMD_FACTORY_SENSOR_SETTINGS, "Ustawienia domyslne czujników siły przywrócone",
         "The default setting of sensors restored", {CMD_GET_SENSOR_SETTINGS}},
        {CMD_FACTORY_COMM_SETTINGS, "Ustawienia domyslne komunikacji przywrócone",
         "Default communication settings restored", {CMD_GET_IO_SETTINGS}},
        {CMD_FACTORY_OUTPUT_SETTINGS, "Ustawienia domyslne wejść-wyjść przywrócone",
         "Setting the default input-output restored", {CMD_GET_IO_SETTINGS}},
        {CMD_ZERO_SENSOR3, "...", "...", {}},
        {CMD_ANALOG_CALIBRATE, "...", "...", {}},
    };
    auto dev = connectTransducer();
    for (const auto& c : cases) {
        for (auto lang : {lang::Language::Polish, lang::Language::English}) {
            language = lang;
            statusLine = QStringLiteral("...");
            dev->clearWrites();
            feed(*dev, reply({c.code}));
            EXPECT_EQ(statusLine, QString::fromUtf8(lang == lang::Language::Polish ? c.polish : c.english))
                << int(c.code);
            EXPECT_EQ(dev->codes(), c.next) << int(c.code);
            EXPECT_TRUE(controller.pollTimer().isEnabled());
        }
    }
}

TEST_F(LinkFixture, ShortRepliesAreNotReadPastTheirEnd)
{
    QSignalSpy sensorSpy(&controller, &LinkController::sensorSettingsReceived);
    QSignalSpy ioSpy(&controller, &LinkController::ioSettingsReceived);
    QSignalSpy textSpy(&controller, &LinkController::connectionTextChanged);
    auto dev = connectTransducer();
    dev->clearWrites();
    const std::vector<std::vector<std::uint8_t>> shortReplies = {
        {CMD_SET_LINK_STATE},                           // no flag byte
        {CMD_GET_INFO},                                 // no version byte
        std::vector<std::uint8_t>(47, CMD_GET_SENSOR_SETTINGS), // one byte short of the record
        std::vector<std::uint8_t>(49, CMD_GET_IO_SETTINGS),
        std::vector<std::uint8_t>(59, CMD_GET_MEASUREMENT),
    };
    for (const auto& r : shortReplies) {
        controller.pollTimer().stop();
        feed(*dev, r);
        if (r[0] != CMD_GET_MEASUREMENT) {
            EXPECT_TRUE(controller.pollTimer().isEnabled()) << int(r[0]);
        }
    }
    EXPECT_TRUE(dev->writes().empty());
    EXPECT_EQ(sensorSpy.count(), 0);
    EXPECT_EQ(ioSpy.count(), 0);
    EXPECT_EQ(textSpy.count(), 0);
    EXPECT_EQ(controller.frameCount(), 0);
}

TEST_F(LinkFixture, AShortReplyIsToldOnceOnTheStatusLine)
{
    QSignalSpy messages(&controller, &LinkController::statusMessage);
    auto dev = connectTransducer();
    feed(*dev, std::vector<std::uint8_t>(47, CMD_GET_SENSOR_SETTINGS));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_TRUE(statusLine.contains(QStringLiteral("0x02"))) << statusLine.toStdString();
    EXPECT_TRUE(statusLine.contains(QStringLiteral("47"))) << statusLine.toStdString();
    feed(*dev, std::vector<std::uint8_t>(59, CMD_GET_MEASUREMENT));
    feed(*dev, std::vector<std::uint8_t>(10, CMD_GET_IO_SETTINGS));
    EXPECT_EQ(messages.count(), 1);
}

TEST_F(LinkFixture, ADeviceWithTooShortReportsIsToldOnTheStatusLine)
{
    auto dev = backend.add(u"QMX80NET");
    dev->reportLength = 33;
    controller.onDeviceChange();
    EXPECT_TRUE(statusLine.contains(QStringLiteral("33"))) << statusLine.toStdString();
    EXPECT_TRUE(statusLine.contains(QStringLiteral("za krótkie"))) << statusLine.toStdString();
}

TEST_F(LinkFixture, SendCommandWhileNotConnectedStopsPollAndWritesNothing)
{
    controller.pollTimer().start();
    controller.sendCommand(CMD_TARE_SUM);
    EXPECT_FALSE(controller.pollTimer().isEnabled());
}

TEST_F(LinkFixture, LinkStateFlagTrueReport)
{
    auto dev = connectTransducer();
    dev->clearWrites();
    controller.sendLinkState(true);
    const auto w = dev->writes();
    ASSERT_EQ(w.size(), 1U);
    EXPECT_EQ(w[0][0], 0x01);
    EXPECT_EQ(w[0][1], 0x85);
    EXPECT_EQ(w[0][2], 0x01);
    EXPECT_EQ(std::count(w[0].begin() + 3, w[0].end(), 0), 62);
}

TEST_F(LinkFixture, FailedWritesAreSwallowed)
{
    auto dev = connectTransducer();
    dev->failWrites = true;
    controller.pollTimer().start();
    controller.sendCommand(CMD_GET_INFO);
    EXPECT_TRUE(controller.connected());
    EXPECT_FALSE(controller.pollTimer().isEnabled()); // left as the caller left it
}

TEST_F(LinkFixture, PollResumesWhenARequestGetsNoReply)
{
    controller.setReplyTimeout(50);
    auto dev = connectTransducer();
    controller.sendCommand(CMD_GET_SENSOR_SETTINGS);
    EXPECT_FALSE(controller.pollTimer().isEnabled());
    // Measurements do not count as the reply.
    std::vector<std::uint8_t> meas(64, 0);
    meas[0] = CMD_GET_MEASUREMENT;
    dev->inject(meas);
    EXPECT_TRUE(waitUntil([&] { return controller.pollTimer().isEnabled(); }));
}

TEST_F(LinkFixture, LostConnectionCancelsThePendingRearm)
{
    controller.setReplyTimeout(30);
    auto dev = connectTransducer();
    controller.sendCommand(CMD_GET_SENSOR_SETTINGS);
    backend.clear();
    backend.notifyChange();
    waitUntil([] { return false; }, 120);
    EXPECT_FALSE(controller.pollTimer().isEnabled());
}

// ---------------------------------------------------------------- measurement

TEST(Measurement, DecodesEveryFieldAndMasksTheIoBits)
{
    Measurement m;
    m.InputState = 0x02;
    m.OutputState = 0x01;
    m.SumValue = -12.5F;
    m.DeviceMax = 1500.0F;
    m.ChannelStatus = {0, 1, 3, 9};
    m.ChannelLoad = {300, 0, 65535, 100};
    m.ChannelValue = {1.0F, -2.0F, 3.25F, 4.5F};
    m.Rs485Fps = 12;
    m.EthFps = 345;
    std::array<std::uint8_t, 64> bytes{};
    encodeMeasurement(m, bytes);
    bytes[kMeasInputState] = 0xFE; // other bits set on the wire are cleared when stored
    bytes[kMeasOutputState] = 0xFD;
    EXPECT_EQ(bytes[kMeasLoad], 0x2C);
    EXPECT_EQ(bytes[kMeasLoad + 1], 0x01);

    Measurement d;
    ASSERT_TRUE(decodeMeasurement(bytes, d));
    EXPECT_EQ(d.InputState, 2);
    EXPECT_EQ(d.OutputState, 1);
    EXPECT_EQ(d.SumValue, -12.5F);
    EXPECT_EQ(d.DeviceMax, 1500.0F);
    EXPECT_EQ(d.ChannelStatus, m.ChannelStatus);
    EXPECT_EQ(d.ChannelLoad, m.ChannelLoad);
    EXPECT_EQ(d.ChannelValue, m.ChannelValue);
    EXPECT_EQ(d.Rs485Fps, 12);
    EXPECT_EQ(d.EthFps, 345);
}

TEST(Measurement, NonFiniteValuesAreStoredAsReceived)
{
    std::array<std::uint8_t, 60> bytes{};
    bytes[0] = CMD_GET_MEASUREMENT;
    writeU32Le(bytes, kMeasSum, 0x7FC00000U); // NaN
    writeU32Le(bytes, kMeasMax, 0x7F800000U); // +inf
    Measurement d;
    ASSERT_TRUE(decodeMeasurement(bytes, d));
    EXPECT_TRUE(std::isnan(d.SumValue));
    EXPECT_TRUE(std::isinf(d.DeviceMax));
    std::array<std::uint8_t, 59> shortReport{};
    Measurement untouched;
    untouched.SumValue = 7.0F;
    EXPECT_FALSE(decodeMeasurement(shortReport, untouched));
    EXPECT_EQ(untouched.SumValue, 7.0F);
}

TEST_F(LinkFixture, EveryMeasurementIsCountedAndObserved)
{
    int observed = 0;
    controller.setMeasurementObserver([&](const Measurement& m) {
        ++observed;
        EXPECT_EQ(m.InputState, 2);
    });
    auto dev = connectTransducer();
    std::vector<std::uint8_t> meas(64, 0);
    meas[0] = CMD_GET_MEASUREMENT;
    meas[1] = 0xFE;
    for (int i = 0; i < 3; ++i) {
        dev->inject(meas);
    }
    ASSERT_TRUE(waitUntil([&] { return controller.frameCount() == 3; }));
    EXPECT_EQ(observed, 3);
    EXPECT_EQ(controller.takeFrameCount(), 3);
    EXPECT_EQ(controller.takeFrameCount(), 0);
}

// ---------------------------------------------------------------- threads

TEST_F(LinkFixture, WritesFromAnotherThreadRaceReleasesSafely)
{
    auto dev = connectTransducer();
    std::atomic<bool> stop{false};
    std::thread poller([&] {
        const std::array<std::uint8_t, 1> poll{CMD_GET_MEASUREMENT};
        while (!stop.load()) {
            controller.sendReport(poll);
        }
    });
    for (int i = 0; i < 50; ++i) {
        backend.clear();
        backend.notifyChange();
        dev = backend.add(u"QMX80NET");
        backend.notifyChange();
        // Reports in flight while the device is released must not deadlock or crash.
        std::vector<std::uint8_t> meas(64, 0);
        meas[0] = CMD_GET_MEASUREMENT;
        dev->inject(meas);
        QCoreApplication::processEvents();
    }
    stop.store(true);
    poller.join();
    EXPECT_TRUE(controller.connected());
    // Every write that reached the last device is a whole report.
    for (const auto& w : dev->writes()) {
        EXPECT_EQ(w.size(), 65U);
    }
}

// ---------------------------------------------------------------- lost links

namespace {
std::vector<std::uint8_t> measurementPayload()
{
    std::vector<std::uint8_t> meas(64, 0);
    meas[0] = CMD_GET_MEASUREMENT;
    return meas;
}
} // namespace

TEST_F(LinkFixture, AFailingReaderLosesTheLinkAndSearchesAtOnceWithoutANotice)
{
    QSignalSpy lost(&controller, &LinkController::linkLost);
    backend.add(u"Keyboard");
    auto dev = connectTransducer();
    backend.remove(1); // the node vanished; no device-change notice comes
    ASSERT_TRUE(waitUntil([&] { return lost.count() == 1; }));
    EXPECT_EQ(lost.at(0).at(0).value<LinkLoss>(), LinkLoss::ReaderFailed);
    EXPECT_FALSE(controller.connected());
    EXPECT_EQ(status, LinkStatus::Disconnected); // the search ran: only the keyboard is left
    EXPECT_EQ(controller.deviceList().size(), 1U);
    EXPECT_TRUE(statusLine.startsWith(QStringLiteral("Utracono połączenie"))) << statusLine.toStdString();
}

TEST_F(LinkFixture, AReaderThatFailsAtEveryOpenIsSearchedAgainOnlyAfterTheRetryInterval)
{
    controller.setStartupRetryInterval(40);
    auto dev = connectTransducer();
    dev->unplug(); // the node stays listed but every read fails
    ASSERT_TRUE(waitUntil([&] { return backend.opens() >= 3; }, 5000));
    // Searches after the first one are spaced by the retry interval, not run back to back (which
    // would open the node hundreds of times in this window).
    const int opens = backend.opens();
    waitUntil([] { return false; }, 200);
    EXPECT_LE(backend.opens() - opens, 10);
    dev->gone = false;
    ASSERT_TRUE(waitUntil([&] { return controller.connected(); }, 5000));
}

TEST_F(LinkFixture, MeasurementsThatStopWhilePollingLoseTheLinkAndSearchAgain)
{
    QSignalSpy lost(&controller, &LinkController::linkLost);
    controller.setMeasurementSilenceLimit(30);
    auto dev = connectTransducer();
    feed(*dev, reply({CMD_SET_LINK_STATE, 1})); // polling runs
    ASSERT_TRUE(controller.pollTimer().isEnabled());
    feed(*dev, measurementPayload());
    EXPECT_TRUE(controller.measurementIsLive());
    dev->clearWrites();
    controller.pollTick(); // a poll that gets no measurement
    ASSERT_TRUE(waitUntil([&] { return lost.count() == 1; }));
    EXPECT_EQ(lost.at(0).at(0).value<LinkLoss>(), LinkLoss::MeasurementsStopped);
    EXPECT_TRUE(statusLine.contains(QStringLiteral("brak pomiarów"))) << statusLine.toStdString();
    // The device is still listed: the search links it again and starts the exchange anew, but the
    // old values do not count as live until a new measurement comes.
    EXPECT_EQ(backend.opens(), 2);
    EXPECT_TRUE(controller.connected());
    EXPECT_FALSE(controller.measurementIsLive());
    EXPECT_EQ(dev->codes(), (std::vector<std::uint8_t>{CMD_GET_MEASUREMENT, CMD_SET_LINK_STATE}));
    feed(*dev, measurementPayload());
    EXPECT_TRUE(controller.measurementIsLive());
}

TEST_F(LinkFixture, NoMeasurementWhilePollingIsSuspendedIsNoLoss)
{
    QSignalSpy lost(&controller, &LinkController::linkLost);
    controller.setMeasurementSilenceLimit(20);
    controller.setReplyTimeout(60'000);
    auto dev = connectTransducer();
    feed(*dev, reply({CMD_SET_LINK_STATE, 1}));
    controller.pollTick();
    controller.sendCommand(CMD_TARE_SUM); // waits for its reply: polling is suspended
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(lost.count(), 0);
    EXPECT_TRUE(controller.connected());
}

TEST_F(LinkFixture, WithoutSearchAfterLossTheLinkStaysDown)
{
    controller.setSearchAfterLinkLoss(false);
    controller.setMeasurementSilenceLimit(20);
    auto dev = connectTransducer();
    feed(*dev, reply({CMD_SET_LINK_STATE, 1}));
    controller.pollTick();
    ASSERT_TRUE(waitUntil([&] { return !controller.connected(); }));
    waitUntil([] { return false; }, 60);
    EXPECT_FALSE(controller.connected());
    EXPECT_EQ(backend.opens(), 1);
}

TEST_F(LinkFixture, AnUnansweredStartUpIsToldAndTriedAgain)
{
    controller.setStartupRetryInterval(30);
    auto dev = connectTransducer();
    ASSERT_TRUE(waitUntil([&] { return dev->codes().size() >= 3; }));
    EXPECT_TRUE(statusLine.contains(QStringLiteral("nie odpowiada"))) << statusLine.toStdString();
    for (auto code : dev->codes()) {
        EXPECT_EQ(code, CMD_SET_LINK_STATE); // each try starts the exchange from its beginning
    }
    for (const auto& w : dev->writes()) {
        EXPECT_EQ(w[2], 0); // with flag 0
    }
    feed(*dev, reply({CMD_SET_LINK_STATE, 0}));
    feed(*dev, reply({CMD_GET_INFO, 105, 'v'}));
    EXPECT_EQ(statusText, QStringLiteral("Połączono z QMX80NET : 1.05 v"));
    EXPECT_TRUE(statusLine.isEmpty()) << statusLine.toStdString();
    const auto sent = dev->codes().size();
    waitUntil([] { return false; }, 100);
    EXPECT_EQ(dev->codes().size(), sent); // answered: no more tries
}

TEST_F(LinkFixture, TextsFromTheDeviceHaveTheirControlCharactersReplaced)
{
    const std::vector<std::uint8_t> r{CMD_GET_INFO, 105, 0x1B, '[', '2', 'J', 'x', '\n', 0x07, 0x9B, 'y'};
    const auto info = decodeDeviceInfo(r);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->Description, QStringLiteral("?[2Jx???y"));
    EXPECT_EQ(deviceEntryText({"p", u"Mouse\u001b]0;pwned\u0007\u202E", 1, 2}), QStringLiteral("Mouse?]0;pwned??"));
    EXPECT_EQ(deviceEntryText({"p", u"Zażółć QMX", 1, 2}), QStringLiteral("Zażółć QMX"));
}

TEST_F(LinkFixture, MeasurementsDroppedWhileTheWindowWasBlockedAreCountedAndTold)
{
    auto dev = connectTransducer();
    controller.handOff().setCapacity(2, 100);
    for (int i = 0; i < 10; ++i) {
        dev->inject(measurementPayload());
    }
    // This thread runs no event loop meanwhile, as a window blocked in a long call.
    for (int wait = 0; wait < 3000 && controller.droppedMeasurements() < 8; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(controller.droppedMeasurements(), 8U);
    ASSERT_TRUE(waitUntil([&] { return controller.frameCount() == 2; }));
    EXPECT_EQ(statusLine, QStringLiteral("Pominięte pomiary: 8 (program nie nadążał z ich odbiorem)"));
    language = lang::Language::English;
    EXPECT_EQ(controller.statusMessageText(), QStringLiteral("Measurements skipped: 8 (the program fell behind)"));
}

// ---------------------------------------------------------------- language of the link's texts

TEST_F(LinkFixture, TheConnectionFieldTextIsMadeAgainInTheLanguageChosenNow)
{
    const auto field = [&](lang::Language shownIn) {
        language = shownIn;
        return controller.connectionFieldText();
    };
    EXPECT_EQ(field(lang::Language::Polish), QStringLiteral("Brak połączenia"));
    EXPECT_EQ(field(lang::Language::English), QStringLiteral("No connection"));
    auto dev = connectTransducer();
    EXPECT_EQ(field(lang::Language::English), QStringLiteral("Connected"));
    EXPECT_EQ(field(lang::Language::Polish), QStringLiteral("Połączony"));
    feed(*dev, reply({CMD_SET_LINK_STATE, 0}));
    feed(*dev, reply({CMD_GET_INFO, 105, 'v', 0}));
    // The transducer's name, version and description stay as it gives them.
    EXPECT_EQ(statusText, QStringLiteral("Połączono z QMX80NET : 1.05 v"));
    EXPECT_EQ(field(lang::Language::Polish), statusText);
    EXPECT_EQ(field(lang::Language::English), QStringLiteral("Connected to QMX80NET : 1.05 v"));
    feed(*dev, reply({CMD_GET_INFO, 106, 'w', 0}));
    EXPECT_EQ(statusText, QStringLiteral("Connected to QMX80NET : 1.06 w"));
    // A new state replaces the identification.
    backend.add(u"Keyboard");
    backend.remove(0);
    ASSERT_TRUE(waitUntil([&] { return !controller.connected(); }));
    EXPECT_EQ(field(lang::Language::English), QStringLiteral("Disconnected"));
    EXPECT_EQ(field(lang::Language::Polish), QStringLiteral("Rozłączony"));
}

namespace {

/// A link made to say one status message: `provoke` runs it against a fresh controller.
struct LinkMessageCase {
    const char* name;
    std::function<void(FakeBackend&, LinkController&)> provoke;
    const char* polish;
    const char* english;
    const char* polishDetail = ""; // the longer form for the tool tip, where there is one
    const char* englishDetail = "";
};

std::shared_ptr<FakeDeviceState> linked(FakeBackend& backend, LinkController& link)
{
    auto dev = backend.add(u"QMX80NET");
    link.onDeviceChange();
    return dev;
}

void feedAndWait(LinkController& link, FakeDeviceState& dev, std::vector<std::uint8_t> payload)
{
    QSignalSpy dispatched(&link, &LinkController::replyDispatched);
    dev.inject(std::move(payload));
    ASSERT_TRUE(waitUntil([&] { return dispatched.count() > 0; }));
}

} // namespace

TEST(LinkMessages, EachStatusMessageIsInTheLanguageChosenAndIsMadeAgainAfterASwitch)
{
    const LinkMessageCase cases[] = {
        {"factory reset of the communication settings",
         [](FakeBackend& b, LinkController& l) { feedAndWait(l, *linked(b, l), reply({CMD_FACTORY_COMM_SETTINGS})); },
         "Ustawienia domyslne komunikacji przywrócone", "Default communication settings restored"},
        {"factory reset of the outputs",
         [](FakeBackend& b, LinkController& l) { feedAndWait(l, *linked(b, l), reply({CMD_FACTORY_OUTPUT_SETTINGS})); },
         "Ustawienia domyslne wejść-wyjść przywrócone", "Setting the default input-output restored"},
        {"tare", [](FakeBackend& b, LinkController& l) { feedAndWait(l, *linked(b, l), reply({CMD_TARE_SUM})); },
         "Wartość wytarowana", "Tare ok"},
        {"short reply",
         [](FakeBackend& b, LinkController& l) { feedAndWait(l, *linked(b, l), {CMD_GET_SENSOR_SETTINGS, 1, 2}); },
         "Za krótka odpowiedź przetwornika na polecenie 0x02: 3 z 48 bajtów",
         "Reply of the transducer to command 0x02 too short: 3 of 48 bytes"},
        {"no answer at start-up",
         [](FakeBackend& b, LinkController& l) {
             l.setStartupRetryInterval(30);
             QSignalSpy messages(&l, &LinkController::statusMessage);
             linked(b, l);
             ASSERT_TRUE(messages.wait(3000));
         },
         "Przetwornik QMX80NET nie odpowiada; ponowna próba połączenia co 0.03 s",
         "The QMX80NET transducer does not answer; trying again every 0.03 s"},
        {"lost link",
         [](FakeBackend& b, LinkController& l) {
             QSignalSpy lost(&l, &LinkController::linkLost);
             linked(b, l);
             b.remove(0);
             ASSERT_TRUE(waitUntil([&] { return lost.count() == 1; }));
         },
         "Utracono połączenie z przetwornikiem QMX80NET: błąd odczytu urządzenia",
         "Lost the link to the QMX80NET transducer: device read error"},
        {"measurements stopped",
         [](FakeBackend& b, LinkController& l) {
             l.setSearchAfterLinkLoss(false);
             l.setMeasurementSilenceLimit(20);
             QSignalSpy lost(&l, &LinkController::linkLost);
             auto dev = linked(b, l);
             feedAndWait(l, *dev, reply({CMD_SET_LINK_STATE, 1}));
             l.pollTick();
             ASSERT_TRUE(waitUntil([&] { return lost.count() == 1; }));
         },
         "Utracono połączenie z przetwornikiem QMX80NET: brak pomiarów od 0.02 s",
         "Lost the link to the QMX80NET transducer: no measurements for 0.02 s"},
        {"several transducers",
         [](FakeBackend& b, LinkController& l) {
             b.add(u"QMX80NET");
             linked(b, l);
         },
         "Przetworników QMX80NET: 2; używany: fake:0", "QMX80NET transducers: 2; in use: fake:0"},
        {"transducer that cannot be opened",
         [](FakeBackend& b, LinkController& l) {
             b.add(u"QMX80NET", 0x1234, 0x5678, false);
             l.onDeviceChange();
         },
         "Nie można otworzyć przetwornika QMX80NET: Permission denied",
         "Cannot open the QMX80NET transducer: Permission denied",
         "Nie można otworzyć przetwornika QMX80NET do odczytu i zapisu (fake:0): Permission denied",
         "Cannot open the QMX80NET transducer for reading and writing (fake:0): Permission denied"},
    };
    for (const auto& c : cases) {
        for (const auto first : {lang::Language::Polish, lang::Language::English}) {
            SCOPED_TRACE(std::string(c.name) + (first == lang::Language::Polish ? ", Polish first" : ", English first"));
            const auto other = first == lang::Language::Polish ? lang::Language::English : lang::Language::Polish;
            const auto expected = [&](lang::Language shown) {
                return QString::fromUtf8(shown == lang::Language::Polish ? c.polish : c.english);
            };
            const auto expectedDetail = [&](lang::Language shown) {
                return QString::fromUtf8(shown == lang::Language::Polish ? c.polishDetail : c.englishDetail);
            };
            FakeBackend backend;
            lang::Language language = first;
            LinkController link(backend, [&](std::string_view id) { return lang::lookupText(id, language); });
            QString shown;
            QString detail;
            QObject::connect(&link, &LinkController::statusMessage, [&](const QString& text) { shown = text; });
            QObject::connect(&link, &LinkController::statusDetail, [&](const QString& text) { detail = text; });
            c.provoke(backend, link);
            EXPECT_EQ(shown, expected(first));
            EXPECT_EQ(detail, expectedDetail(first));
            EXPECT_EQ(link.statusMessageText(), expected(first));
            language = other;
            EXPECT_EQ(link.statusMessageText(), expected(other));
            EXPECT_EQ(link.statusDetailText(), expectedDetail(other));
        }
    }
}

TEST(LinkMessages, ALinkWithoutALookupSpeaksPolish)
{
    FakeBackend backend;
    LinkController link(backend, {});
    link.setDecimalSeparator(u'.');
    QString field;
    QObject::connect(&link, &LinkController::connectionTextChanged, [&](const QString& text) { field = text; });
    auto dev = linked(backend, link);
    feedAndWait(link, *dev, reply({CMD_SET_LINK_STATE, 0}));
    feedAndWait(link, *dev, reply({CMD_GET_INFO, 105, 'v', 0}));
    EXPECT_EQ(field, QStringLiteral("Połączono z QMX80NET : 1.05 v"));
    EXPECT_EQ(link.statusMessageText(), QString());
    feedAndWait(link, *dev, reply({CMD_TARE_SUM}));
    EXPECT_EQ(link.statusMessageText(), QStringLiteral("Wartość wytarowana"));
}
