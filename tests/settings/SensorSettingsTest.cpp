#include "settings/core/SensorSettings.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace qmx::settings;

namespace {

// One record whose every field has a value that shows up in a distinct, checkable byte pattern.
SensorSettings sampleSettings()
{
    SensorSettings s;
    s.Range = {1000, 100000000, 1, -1};
    s.Sens = {2.0F, 0.1F, -1.5F, 100000000.0F};
    s.SignBits = 0x08;
    s.Filter = 7;
    s.Rate = 6;
    s.Units = 3;
    s.SelTens = 2;
    s.SumOffset = -1.5F;
    s.StabSamplesNo = 0x0102;
    s.StabMaxDiff = 0.5F;
    return s;
}

// The same record as frame bytes 0..62 of the 0x8A request.
std::array<std::uint8_t, 63> sampleFrame()
{
    std::array<std::uint8_t, 63> f{};
    const std::vector<std::uint8_t> head{
        0x8A,
        0xE8, 0x03, 0x00, 0x00,  // Range 1 = 1000
        0x00, 0xE1, 0xF5, 0x05,  // Range 2 = 100000000
        0x01, 0x00, 0x00, 0x00,  // Range 3 = 1
        0xFF, 0xFF, 0xFF, 0xFF,  // Range 4 = -1
        0x00, 0x00, 0x00, 0x40,  // Sens 1 = 2.0
        0xCD, 0xCC, 0xCC, 0x3D,  // Sens 2 = 0.1f
        0x00, 0x00, 0xC0, 0xBF,  // Sens 3 = -1.5
        0x20, 0xBC, 0xBE, 0x4C,  // Sens 4 = 1e8
        0x08,                    // SignBits: sensor 4 inverted
        0x07, 0x06, 0x03, 0x02,  // Filter, Rate, Units, SelTens
        0x00, 0x00, 0xC0, 0xBF,  // SumOffset = -1.5 at byte 38, unaligned
        0x02, 0x01,              // StabSamplesNo = 0x0102, low byte first at 42
        0x00, 0x00, 0x00, 0x3F,  // StabMaxDiff = 0.5 at 44
    };
    std::copy(head.begin(), head.end(), f.begin());
    return f;
}

} // namespace

TEST(SensorSettingsCodec, RequestCarriesEveryFieldAtItsFrameBytes)
{
    EXPECT_EQ(encodeSensorSettingsRequest(sampleSettings()), sampleFrame());
}

TEST(SensorSettingsCodec, ReplyDecodesEveryFieldFromItsFrameBytes)
{
    auto frame = sampleFrame();
    frame[0] = 0x02;
    const auto decoded = decodeSensorSettings(frame);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, sampleSettings());
}

TEST(SensorSettingsCodec, SampleCountGoesLowByteFirstAtBytes42And43)
{
    SensorSettings s;
    s.StabSamplesNo = 200;
    const auto frame = encodeSensorSettingsRequest(s);
    EXPECT_EQ(frame[42], 200);
    EXPECT_EQ(frame[43], 0);
}

TEST(SensorSettingsCodec, SignBitsTakeOneBitPerSensor)
{
    for (const std::uint8_t bits : {0x01, 0x02, 0x04, 0x08, 0x0F}) {
        SensorSettings s;
        s.SignBits = bits;
        EXPECT_EQ(encodeSensorSettingsRequest(s)[33], bits);
    }
}

TEST(SensorSettingsCodec, FrameShorterThanTheRecordIsRefused)
{
    const auto full = sampleFrame();
    EXPECT_FALSE(decodeSensorSettings(std::span(full).first(47)));
    EXPECT_FALSE(decodeSensorSettings({}));
    EXPECT_TRUE(decodeSensorSettings(std::span(full).first(48)));
}

TEST(SensorSettingsCodec, BytesAfterTheRecordAreIgnored)
{
    const auto sample = sampleFrame();
    std::vector<std::uint8_t> frame(sample.begin(), sample.begin() + 48);
    frame.resize(64, 0xEE);
    const auto decoded = decodeSensorSettings(frame);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, sampleSettings());
}

TEST(SensorSettingsCodec, RecordIntoTooShortBufferWritesNothing)
{
    std::array<std::uint8_t, 46> small{};
    small.fill(0x5A);
    EXPECT_FALSE(encodeSensorSettings(sampleSettings(), small));
    for (const auto b : small) {
        ASSERT_EQ(b, 0x5A);
    }
}

TEST(SensorSettingsCodec, RecordRoundTripsThroughTheWire)
{
    SensorSettings s = sampleSettings();
    s.SumOffset = 123456.789F;
    s.StabMaxDiff = 1e-3F;
    std::array<std::uint8_t, 48> frame{};
    ASSERT_TRUE(encodeSensorSettings(s, std::span(frame).subspan(1)));
    EXPECT_EQ(decodeSensorSettings(frame), s);
}

TEST(SensorSettingsTables, RateIndexFiveIsSixtyPerSecond)
{
    EXPECT_EQ(sampleRate(2), 16);
    EXPECT_EQ(sampleRate(5), 60);
    EXPECT_EQ(sampleRate(6), 120);
    EXPECT_FALSE(sampleRate(7));
}

TEST(SensorSettingsTables, UnitSuffixesCarryALeadingBlank)
{
    EXPECT_EQ(unitsSuffix(0), " N");
    EXPECT_EQ(unitsSuffix(2), " g");
    EXPECT_EQ(unitsSuffix(4), " kN");
    EXPECT_EQ(unitsSuffix(5), "");
}
