// Faults the virtual transducer injects on demand.

#include "SimTestSupport.h"

#include "link/Protocol.h"
#include "settings/core/SensorSettings.h"

using namespace qmx;
using namespace std::chrono_literals;
using qmx::test::ModelTest;

using FaultsTest = ModelTest;

namespace {
std::vector<std::uint8_t> codesOf(const std::vector<std::vector<std::uint8_t>>& payloads)
{
    std::vector<std::uint8_t> codes;
    for (const auto& p : payloads) {
        codes.push_back(p.at(0));
    }
    return codes;
}
} // namespace

TEST_F(FaultsTest, NextRepliesAreDropped)
{
    model.dropNextReplies(2);
    send({link::CMD_GET_INFO});
    send({link::CMD_GET_SENSOR_SETTINGS});
    send({link::CMD_GET_IO_SETTINGS});
    send({link::CMD_TARE_SUM});
    EXPECT_EQ(codesOf(drain()), (std::vector<std::uint8_t>{0x03, 0x91}));
}

TEST_F(FaultsTest, DroppingRepliesDoesNotTouchTheStream)
{
    model.dropNextReplies(5);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(100ms);
    EXPECT_EQ(drain().size(), 10u);
}

TEST_F(FaultsTest, RepliesToOneCodeAreDropped)
{
    model.dropRepliesTo(link::CMD_GET_SENSOR_SETTINGS, 1);
    send({link::CMD_GET_INFO});
    send({link::CMD_GET_SENSOR_SETTINGS});
    send({link::CMD_GET_SENSOR_SETTINGS});
    EXPECT_EQ(codesOf(drain()), (std::vector<std::uint8_t>{0x00, 0x02}));
}

TEST_F(FaultsTest, MeasurementReportsCanBeDroppedByTheirCode)
{
    model.dropRepliesTo(link::CMD_GET_MEASUREMENT, 5);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(1s);
    EXPECT_EQ(drain().size(), 95u);
}

TEST_F(FaultsTest, DelayedReplyArrivesAfterTheDelayOfModelTime)
{
    model.setReplyDelay(500ms);
    send({link::CMD_GET_INFO});
    send({link::CMD_RESET_MIN_MAX});
    model.advance(499ms);
    EXPECT_TRUE(drain().empty());
    model.advance(1ms);
    EXPECT_EQ(codesOf(drain()), (std::vector<std::uint8_t>{0x00, 0x93})) << "in request order";
}

TEST_F(FaultsTest, DelayLeavesMeasurementReportsOnTime)
{
    model.setReplyDelay(10s);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(100ms);
    EXPECT_EQ(drain().size(), 10u);
}

TEST_F(FaultsTest, NextReplyIsTruncated)
{
    model.truncateNextReply(5);
    send({link::CMD_GET_SENSOR_SETTINGS});
    const auto shortReply = next();
    EXPECT_EQ(shortReply.size(), 5u);
    EXPECT_EQ(shortReply.at(0), 0x02);
    EXPECT_FALSE(settings::decodeSensorSettings(shortReply));
    send({link::CMD_GET_SENSOR_SETTINGS});
    EXPECT_EQ(next().size(), 64u) << "only the next reply";
}

TEST_F(FaultsTest, MeasurementReportCanBeTruncated)
{
    model.truncateNextReplyTo(link::CMD_GET_MEASUREMENT, 10);
    send({link::CMD_GET_MEASUREMENT});
    model.advance(20ms);
    const auto first = next();
    ASSERT_EQ(first.size(), 10u);
    link::Measurement m;
    EXPECT_FALSE(link::decodeMeasurement(first, m));
    EXPECT_EQ(next().size(), 64u);
}

TEST_F(FaultsTest, InjectedReportsArriveAsTheyAre)
{
    model.injectInputReport({1, 0x7E, 0xFF, 0xFF});
    model.injectInputReport({0xAB});
    std::vector<std::uint8_t> report;
    ASSERT_TRUE(model.popInputReport(report));
    EXPECT_EQ(report, (std::vector<std::uint8_t>{1, 0x7E, 0xFF, 0xFF}));
    ASSERT_TRUE(model.popInputReport(report));
    EXPECT_EQ(report, (std::vector<std::uint8_t>{0xAB}));
}

TEST_F(FaultsTest, FailedWritesNeverReachTheModel)
{
    model.failNextWrites(2);
    EXPECT_FALSE(send({link::CMD_GET_INFO}));
    EXPECT_FALSE(send({link::CMD_GET_INFO}));
    EXPECT_TRUE(model.receivedRequests().empty());
    EXPECT_TRUE(drain().empty());
    EXPECT_TRUE(send({link::CMD_GET_INFO}));
    EXPECT_EQ(codesOf(drain()), (std::vector<std::uint8_t>{0x00}));
}

TEST_F(FaultsTest, ClearFaultsEndsThemAll)
{
    model.dropNextReplies(3);
    model.dropRepliesTo(0x00, 3);
    model.setReplyDelay(1s);
    model.truncateNextReply(2);
    model.failNextWrites(3);
    model.clearFaults();
    EXPECT_TRUE(send({link::CMD_GET_INFO}));
    const auto reply = next();
    EXPECT_EQ(reply.size(), 64u);
    EXPECT_EQ(reply.at(0), 0x00);
}

TEST_F(FaultsTest, ARepeatedReportComesEveryPeriodWithoutAPoll)
{
    model.injectInputReportEvery({1, 0x7E, 0x01}, 20ms);
    model.advance(19ms);
    EXPECT_TRUE(drain().empty());
    model.advance(81ms);
    std::vector<std::uint8_t> report;
    int count = 0;
    while (model.popInputReport(report)) {
        EXPECT_EQ(report, (std::vector<std::uint8_t>{1, 0x7E, 0x01}));
        ++count;
    }
    EXPECT_EQ(count, 5);
    model.clearFaults();
    model.advance(100ms);
    EXPECT_TRUE(drain().empty());
}
