#include "EmulatedHidraw.h"

#include "lang/StringTable.h"
#include "link/LinkController.h"
#include "link/Protocol.h"
#include "link/hidapi/HidapiBackend.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace qmx::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kReportLength = 65;
constexpr int kWaitMs = 10000;

// Bytes of the settings records the responder sends, recognisable in the frames the link emits.
Bytes record(std::uint8_t code, std::size_t size)
{
    Bytes bytes{code};
    for (std::size_t i = 0; i < size; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(code * 16 + i));
    }
    return bytes;
}

// One input report: report ID 1, the payload, zeros up to the report length.
Bytes inputReport(const Bytes& payload)
{
    Bytes report(std::max(kReportLength, payload.size() + 1), 0);
    report[0] = 0x01;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return report;
}

// A small transducer: answers the requests of the start-up exchange, ignores everything else.
std::vector<Bytes> transducer(std::span<const std::uint8_t> request)
{
    if (request.size() < 3 || request[0] != kOutputReportId) {
        return {};
    }
    switch (request[1]) {
    case CMD_SET_LINK_STATE:
        return {inputReport({CMD_SET_LINK_STATE, request[2]})};
    case CMD_GET_INFO:
        return {inputReport({CMD_GET_INFO, 105, 'v', 'i', 'r', 't', 'u', 'a', 'l', 0})};
    case CMD_GET_SENSOR_SETTINGS:
        return {inputReport(record(CMD_GET_SENSOR_SETTINGS, 47))};
    case CMD_GET_IO_SETTINGS:
        return {inputReport(record(CMD_GET_IO_SETTINGS, 49))};
    default:
        return {};
    }
}

Bytes outputReport(std::initializer_list<std::uint8_t> payload)
{
    Bytes report(std::max(kReportLength, payload.size() + 1), 0);
    report[0] = kOutputReportId;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return report;
}

TEST(StartupExchange, RunsThroughHidapiAgainstAnEmulatedTransducer)
{
    test::EmulatedHidraw hidraw;
    hidraw.add({}, transducer);
    HidapiBackend backend(HotplugSource::UdevMonitor, HidapiBackend::kDefaultPollInterval);
    LinkController link(backend, [](std::string_view id) { return lang::lookupText(id, lang::Language::Polish); });
    link.setDecimalSeparator(u'.');
    QSignalSpy connectionText(&link, &LinkController::connectionTextChanged);
    QSignalSpy sensorSettings(&link, &LinkController::sensorSettingsReceived);
    QSignalSpy ioSettings(&link, &LinkController::ioSettingsReceived);
    int linkStateReplies = 0;
    QObject::connect(&link, &LinkController::replyDispatched, [&](std::uint8_t code) {
        linkStateReplies += code == CMD_SET_LINK_STATE ? 1 : 0;
    });

    // The first device-change notice, as the program sends itself once its event loop runs.
    link.onDeviceChange();

    // The exchange ends with the acknowledgement of link state 1.
    ASSERT_TRUE(QTest::qWaitFor([&] { return linkStateReplies == 2; }, kWaitMs))
        << "requests seen: " << hidraw.writes(0).size();
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(link.linkStatus(), LinkStatus::Connected);

    ASSERT_EQ(connectionText.count(), 1);
    EXPECT_EQ(connectionText.at(0).at(0).toString(), QStringLiteral("Połączono z QMX80NET : 1.05 virtual"));

    ASSERT_EQ(sensorSettings.count(), 1);
    const QByteArray sensorFrame = sensorSettings.at(0).at(0).toByteArray();
    const Bytes sensorRecord = record(CMD_GET_SENSOR_SETTINGS, 47);
    ASSERT_GE(sensorFrame.size(), 48);
    EXPECT_TRUE(std::equal(sensorRecord.begin(), sensorRecord.end(), reinterpret_cast<const std::uint8_t*>(sensorFrame.data())));

    ASSERT_EQ(ioSettings.count(), 1);
    const QByteArray ioFrame = ioSettings.at(0).at(0).toByteArray();
    const Bytes ioRecord = record(CMD_GET_IO_SETTINGS, 49);
    ASSERT_GE(ioFrame.size(), 50);
    EXPECT_TRUE(std::equal(ioRecord.begin(), ioRecord.end(), reinterpret_cast<const std::uint8_t*>(ioFrame.data())));

    // The requests, byte for byte, in order. The poll timer may have added measurement requests
    // behind them if the machine was slow; nothing else may follow.
    const auto writes = hidraw.writes(0);
    const std::vector<Bytes> expected{
        outputReport({CMD_SET_LINK_STATE, 0}), outputReport({CMD_GET_INFO}),
        outputReport({CMD_GET_SENSOR_SETTINGS}), outputReport({CMD_GET_IO_SETTINGS}),
        outputReport({CMD_SET_LINK_STATE, 1})};
    ASSERT_GE(writes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(writes[i], expected[i]) << "request " << i;
    }
    for (std::size_t i = expected.size(); i < writes.size(); ++i) {
        EXPECT_EQ(writes[i], outputReport({CMD_GET_MEASUREMENT})) << "request " << i;
    }
}

TEST(StartupExchange, AVanishedNodeEndsTheLinkWithoutADeviceChangeNotice)
{
    test::EmulatedHidraw hidraw;
    hidraw.add({}, transducer);
    // Polling so slow that it never runs within the test: the reader alone must notice.
    HidapiBackend backend(HotplugSource::Polling, std::chrono::hours(1));
    LinkController link(backend, [](std::string_view id) { return QString::fromLatin1(id.data(), id.size()); });
    QSignalSpy lost(&link, &LinkController::linkLost);
    int linkStateReplies = 0;
    QObject::connect(&link, &LinkController::replyDispatched, [&](std::uint8_t code) {
        linkStateReplies += code == CMD_SET_LINK_STATE ? 1 : 0;
    });
    link.onDeviceChange();
    ASSERT_TRUE(QTest::qWaitFor([&] { return linkStateReplies == 2; }, kWaitMs));

    // On real hidraw the reader fails when the node goes; the emulated node only stops answering,
    // so here the silence rule catches it (shortened for the test). Either way no notice is needed.
    link.setMeasurementSilenceLimit(300);
    hidraw.remove(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return lost.count() == 1; }, kWaitMs));
    // The search ran at once and found no device left.
    EXPECT_EQ(link.linkStatus(), LinkStatus::NoConnection);
    EXPECT_FALSE(link.connected());
}

} // namespace
} // namespace qmx::link
