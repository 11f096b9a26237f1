#include "link/Bytes.h"
#include "link/Framing.h"
#include "link/Protocol.h"

#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <vector>

using namespace qmx::link;

TEST(Framing, OneByteRequestIsReportIdCodeThenZeros)
{
    const std::array<std::uint8_t, 1> payload{CMD_GET_SENSOR_SETTINGS};
    const auto report = buildOutputReport(payload, 65);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->size(), 65U);
    EXPECT_EQ((*report)[0], 0x01);
    EXPECT_EQ((*report)[1], 0x02);
    for (std::size_t i = 2; i < report->size(); ++i) {
        EXPECT_EQ((*report)[i], 0) << "byte " << i;
    }
}

TEST(Framing, LongRequestFillsSixtyThreeBytesBehindTheReportId)
{
    std::array<std::uint8_t, 63> payload{};
    std::iota(payload.begin(), payload.end(), std::uint8_t{0x80});
    const auto report = buildOutputReport(payload, 256);
    ASSERT_TRUE(report);
    ASSERT_EQ(report->size(), 256U);
    EXPECT_EQ((*report)[0], 0x01);
    for (std::size_t i = 0; i < payload.size(); ++i) {
        EXPECT_EQ((*report)[i + 1], payload[i]);
    }
    for (std::size_t i = 64; i < report->size(); ++i) {
        EXPECT_EQ((*report)[i], 0);
    }
}

TEST(Framing, RefusesPayloadsAndLengthsTheProtocolCannotCarry)
{
    const std::array<std::uint8_t, 64> tooLong{};
    const std::array<std::uint8_t, 1> code{0x01};
    EXPECT_FALSE(buildOutputReport(std::span<const std::uint8_t>{}, 65));
    EXPECT_FALSE(buildOutputReport(tooLong, 65));
    EXPECT_FALSE(buildOutputReport(code, 63));  // no room for the longest request
    EXPECT_FALSE(buildOutputReport(code, 257)); // larger than the request buffer
    EXPECT_TRUE(buildOutputReport(code, 64));
}

TEST(Bytes, FloatsAreReadAtUnalignedPositions)
{
    // 9.0f = 00 00 10 41 and 18.0f = 00 00 90 41, little-endian.
    const std::array<std::uint8_t, 9> bytes{0xFF, 0x00, 0x00, 0x10, 0x41, 0x00, 0x00, 0x90, 0x41};
    EXPECT_EQ(readFloatLe(bytes, 1), 9.0F);
    EXPECT_EQ(readFloatLe(bytes, 5), 18.0F);
    std::array<std::uint8_t, 7> out{};
    writeU32Le(out, 3, 0x11223344U);
    EXPECT_EQ(out[3], 0x44);
    EXPECT_EQ(out[6], 0x11);
    EXPECT_TRUE(hasBytes(out, 3, 4));
    EXPECT_FALSE(hasBytes(out, 4, 4));
    EXPECT_FALSE(hasBytes(out, 8, 0));
}

TEST(CommandTable, EveryCodeIsListedOnceWithItsRequestShape)
{
    for (std::size_t i = 0; i < kCommands.size(); ++i) {
        for (std::size_t j = i + 1; j < kCommands.size(); ++j) {
            EXPECT_NE(kCommands[i].code, kCommands[j].code);
        }
    }
    EXPECT_EQ(findCommand(CMD_SET_LINK_STATE)->request, RequestKind::Long);
    EXPECT_EQ(findCommand(CMD_TARE_SUM)->request, RequestKind::CodeOnly);
    EXPECT_EQ(findCommand(0x92), nullptr);
}
