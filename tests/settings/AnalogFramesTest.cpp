#include "settings/core/AnalogFrames.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <vector>

using namespace qmx::settings;

namespace {
std::array<std::uint8_t, 63> frameOf(std::vector<std::uint8_t> head)
{
    std::array<std::uint8_t, 63> f{};
    std::copy(head.begin(), head.end(), f.begin());
    return f;
}
} // namespace

TEST(AnalogFrames, VoltageTestStartsAtNineVolts)
{
    EXPECT_EQ(analogTestStartFrame(kAnalogVoltage, false), frameOf({0xA8, 0x00, 0x00, 0x00, 0x00, 0x10, 0x41}));
}

TEST(AnalogFrames, CurrentTestStartsAtEighteenMilliamperesWithTheTestFlag)
{
    EXPECT_EQ(analogTestStartFrame(kAnalogCurrent, true), frameOf({0xA8, 0x01, 0x01, 0x00, 0x00, 0x90, 0x41}));
}

TEST(AnalogFrames, UnknownChannelIsSentAsTheCurrentRange)
{
    EXPECT_EQ(analogTestStartFrame(7, false), analogTestStartFrame(kAnalogCurrent, false));
    EXPECT_EQ(analogCalibrateFrame(7, 5.0F)[1], kAnalogCurrent);
}

TEST(AnalogFrames, CalibrationCarriesTheMeasuredValueAtBytesTwoToFive)
{
    const auto bits = std::bit_cast<std::uint32_t>(9.012F);
    EXPECT_EQ(analogCalibrateFrame(kAnalogVoltage, 9.012F),
              frameOf({0xAA, 0x00, static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                       static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)}));
    EXPECT_EQ(analogCalibrateFrame(kAnalogCurrent, 18.0F), frameOf({0xAA, 0x01, 0x00, 0x00, 0x90, 0x41}));
}
