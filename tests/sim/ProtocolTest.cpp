// The virtual transducer at the byte level: what it answers to each request.

#include "SimTestSupport.h"

#include "link/DeviceInfo.h"
#include "link/Protocol.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"
#include "sim/FactoryDefaults.h"

#include <string>

using namespace qmx;
using namespace std::chrono_literals;
using qmx::test::ModelTest;

using ProtocolTest = ModelTest;

TEST_F(ProtocolTest, StartUpExchangeIsAnsweredStepByStep)
{
    ASSERT_TRUE(send({link::CMD_SET_LINK_STATE, 0}));
    std::vector<std::uint8_t> report;
    ASSERT_TRUE(model.popInputReport(report));
    ASSERT_EQ(report.size(), 65u);
    EXPECT_EQ(report[0], 1);
    EXPECT_EQ(report[1], 0x85);
    EXPECT_EQ(report[2], 0) << "flag 0 is acknowledged with offset 1 = 0";

    send({link::CMD_GET_INFO});
    const auto info = next();
    ASSERT_EQ(info.size(), 64u);
    EXPECT_EQ(info[0], 0x00);
    EXPECT_EQ(info[1], 105);
    const auto decoded = link::decodeDeviceInfo(info);
    ASSERT_TRUE(decoded);
    EXPECT_FLOAT_EQ(decoded->FirmwareVersion, 1.05F);
    EXPECT_EQ(decoded->Description, QStringLiteral("virtual"));

    send({link::CMD_GET_SENSOR_SETTINGS});
    const auto sensor = next();
    ASSERT_EQ(sensor.at(0), 0x02);
    EXPECT_EQ(settings::decodeSensorSettings(sensor), sim::factorySensorSettings());

    send({link::CMD_GET_IO_SETTINGS});
    const auto io = next();
    ASSERT_EQ(io.at(0), 0x03);
    EXPECT_EQ(settings::decodeIoSettings(io), sim::factoryIoSettings());

    send({link::CMD_SET_LINK_STATE, 1});
    const auto ack = next();
    ASSERT_EQ(ack.at(0), 0x85);
    EXPECT_NE(ack.at(1), 0) << "flag 1 is acknowledged with a non-zero offset 1";

    EXPECT_TRUE(next().empty()) << "one reply per request, nothing else";
}

TEST_F(ProtocolTest, FactoryBlocksHaveTheDocumentedDefaults)
{
    send({link::CMD_GET_SENSOR_SETTINGS});
    const auto sensor = settings::decodeSensorSettings(next());
    ASSERT_TRUE(sensor);
    EXPECT_EQ(sensor->Range, (std::array<std::int32_t, 4>{1000, 1000, 1000, 1000}));
    EXPECT_EQ(sensor->Rate, 2);
    EXPECT_EQ(sensor->SelTens, 3);
    EXPECT_EQ(sensor->StabSamplesNo, 50);
    EXPECT_FLOAT_EQ(sensor->StabMaxDiff, 0.5F);

    send({link::CMD_GET_IO_SETTINGS});
    const auto io = next();
    EXPECT_EQ(std::vector<std::uint8_t>(io.begin() + 1, io.begin() + 22),
              (std::vector<std::uint8_t>{2, 1, 0, 192, 168, 0, 2, 255, 255, 255, 0, 192, 168, 0, 1,
                                         0x02, 0x51, 0x4D, 0x58, 0x80, 0x01}));
}

TEST_F(ProtocolTest, EveryCommandButThePollIsAnsweredWithItsOwnCode)
{
    for (const auto& command : link::kCommands) {
        if (command.code == link::CMD_GET_MEASUREMENT) {
            continue;
        }
        ASSERT_TRUE(send({command.code}));
        const auto reply = next();
        ASSERT_FALSE(reply.empty()) << command.name;
        EXPECT_EQ(reply[0], command.code) << command.name;
        EXPECT_EQ(reply.size(), 64u) << command.name;
        EXPECT_TRUE(next().empty()) << command.name;
    }
}

TEST_F(ProtocolTest, PollIsAnsweredByMeasurementReportsOnly)
{
    send({link::CMD_GET_MEASUREMENT});
    EXPECT_TRUE(next().empty()) << "no reply of its own";
    model.advance(10ms);
    const auto report = next();
    ASSERT_EQ(report.size(), 64u);
    EXPECT_EQ(report[0], 0x01);
    link::Measurement m;
    EXPECT_TRUE(link::decodeMeasurement(report, m));
}

TEST_F(ProtocolTest, CodesOutsideTheCommandTableGetNoReply)
{
    for (const std::uint8_t code : {0x04, 0x7F, 0x92, 0x94, 0xA2, 0xFF}) {
        send({code});
        EXPECT_TRUE(next().empty()) << int(code);
    }
    EXPECT_EQ(model.receivedCodes(), (std::vector<std::uint8_t>{0x04, 0x7F, 0x92, 0x94, 0xA2, 0xFF}));
}

TEST_F(ProtocolTest, ReportsForAnotherReportIdAreIgnored)
{
    std::vector<std::uint8_t> report(65, 0);
    report[0] = 2;
    report[1] = link::CMD_GET_INFO;
    EXPECT_TRUE(model.handleOutputReport(report));
    EXPECT_TRUE(next().empty());
    EXPECT_TRUE(model.receivedRequests().empty());
}

TEST_F(ProtocolTest, RequestLogKeepsWholePayloadsOfLongReports)
{
    std::vector<std::uint8_t> report(256, 0);
    report[0] = 1;
    report[1] = link::CMD_SET_LINK_STATE;
    report[2] = 1;
    model.handleOutputReport(report);
    const auto log = model.receivedRequests();
    ASSERT_EQ(log.size(), 1u);
    ASSERT_EQ(log[0].size(), 255u);
    EXPECT_EQ(log[0][0], 0x85);
    EXPECT_EQ(log[0][1], 1);
    model.clearReceivedRequests();
    EXPECT_TRUE(model.receivedRequests().empty());
}

TEST_F(ProtocolTest, InfoReplyCarriesTheConfiguredIdentity)
{
    model.setInfo(-5, "ABC");
    send({link::CMD_GET_INFO});
    const auto info = next();
    EXPECT_EQ(info[1], 0xFB);
    EXPECT_EQ(std::string(info.begin() + 2, info.begin() + 5), "ABC");
    EXPECT_EQ(info[5], 0);
}

TEST_F(ProtocolTest, OverlongDescriptionIsCutToFitWithItsTerminator)
{
    model.setInfo(105, std::string(100, 'x'));
    send({link::CMD_GET_INFO});
    const auto info = next();
    ASSERT_EQ(info.size(), 64u);
    EXPECT_EQ(std::count(info.begin() + 2, info.end(), 'x'), 61);
    EXPECT_EQ(info.back(), 0);
}
