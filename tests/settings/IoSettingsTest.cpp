#include "settings/core/IoSettings.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace qmx::settings;

namespace {

IoSettings sampleSettings()
{
    IoSettings s;
    s.Baudrate = 4;
    s.Address = 247;
    s.Parity = 2;
    s.IP = {192, 168, 0, 2};
    s.Mask = {255, 255, 255, 0};
    s.Gate = {192, 168, 0, 1};
    s.MAC = {0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07};
    s.Out1 = {1, 1, 0, 1, 5, 12.5F, -3.0F};
    s.Out2 = {2, 0, 1, 0, 4, 100000000.0F, -100000000.0F};
    s.IndicatorFlags = 0x03;
    return s;
}

std::array<std::uint8_t, 63> sampleFrame()
{
    std::array<std::uint8_t, 63> f{};
    const std::vector<std::uint8_t> head{
        0x8B,
        0x04, 0xF7, 0x02,                    // Baudrate, Address 247, Parity
        192, 168, 0, 2,                      // IP, first number first
        255, 255, 255, 0,                    // Mask
        192, 168, 0, 1,                      // Gate
        0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07,  // MAC
        0x00,                                // reserved
        0x01, 0x01, 0x00, 0x01, 0x05,        // Out1: condition, mode1, mode2, state, Source
        0x00, 0x00, 0x48, 0x41,              // Out1 number1 = 12.5
        0x00, 0x00, 0x40, 0xC0,              // Out1 number2 = -3
        0x02, 0x00, 0x01, 0x00, 0x04,        // Out2
        0x20, 0xBC, 0xBE, 0x4C,              // Out2 number1 = 1e8
        0x20, 0xBC, 0xBE, 0xCC,              // Out2 number2 = -1e8
        0x03,                                // IndicatorFlags at byte 49
    };
    std::copy(head.begin(), head.end(), f.begin());
    return f;
}

} // namespace

TEST(IoSettingsCodec, RequestCarriesEveryFieldAtItsFrameBytes)
{
    EXPECT_EQ(encodeIoSettingsRequest(sampleSettings()), sampleFrame());
}

TEST(IoSettingsCodec, ReplyDecodesEveryFieldFromItsFrameBytes)
{
    auto frame = sampleFrame();
    frame[0] = 0x03;
    EXPECT_EQ(decodeIoSettings(frame), sampleSettings());
}

TEST(IoSettingsCodec, ReservedByteIsIgnoredInRepliesAndZeroInRequests)
{
    auto frame = sampleFrame();
    frame[22] = 0x55;
    const auto decoded = decodeIoSettings(frame);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, sampleSettings());
    EXPECT_EQ(encodeIoSettingsRequest(*decoded)[22], 0);
}

TEST(IoSettingsCodec, FrameShorterThanTheRecordIsRefused)
{
    const auto full = sampleFrame();
    EXPECT_FALSE(decodeIoSettings(std::span(full).first(49)));
    EXPECT_TRUE(decodeIoSettings(std::span(full).first(50)));
}

TEST(IoSettingsCodec, RecordIntoTooShortBufferWritesNothing)
{
    std::array<std::uint8_t, 48> small{};
    small.fill(0x5A);
    EXPECT_FALSE(encodeIoSettings(sampleSettings(), small));
    for (const auto b : small) {
        ASSERT_EQ(b, 0x5A);
    }
}

TEST(IoSettingsCodec, OutputBlockStandsAloneAtThirteenBytes)
{
    const auto frame = sampleFrame();
    const auto out2 = decodeOutputSettings(std::span(frame).subspan(36, 13));
    ASSERT_TRUE(out2);
    EXPECT_EQ(*out2, sampleSettings().Out2);
    EXPECT_FALSE(decodeOutputSettings(std::span(frame).subspan(36, 12)));
}
