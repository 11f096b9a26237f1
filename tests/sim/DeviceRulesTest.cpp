#include "sim/DeviceRules.h"

#include <gtest/gtest.h>

using namespace qmx;
using qmx::settings::OutputSettings;

namespace {
struct OutputCase {
    const char* name;
    OutputSettings out;
    bool expected;
};
link::Measurement measurementWith(float channel1, float sum)
{
    link::Measurement m;
    m.ChannelValue[0] = channel1;
    m.SumValue = sum;
    return m;
}
} // namespace

TEST(DeviceRules, OutputConditionsTable)
{
    // Channel 1 reads 20, the sum 100.
    const auto m = measurementWith(20.0F, 100.0F);
    const OutputCase cases[]{
        {"no source, active", {0, 1, 1, 1, 0, 0.0F, 0.0F}, false},
        {"no source, inverted", {0, 1, 1, 0, 0, 0.0F, 0.0F}, false},
        {"unknown source", {0, 1, 1, 1, 9, 0.0F, 0.0F}, false},
        {"20 > 10", {0, 1, 0, 1, 1, 10.0F, 0.0F}, true},
        {"20 > 10, inverted", {0, 1, 0, 0, 1, 10.0F, 0.0F}, false},
        {"20 < 10", {0, 0, 0, 1, 1, 10.0F, 0.0F}, false},
        {"20 < 10, inverted", {0, 0, 0, 0, 1, 10.0F, 0.0F}, true},
        {"20 > 20 is not", {0, 1, 0, 1, 1, 20.0F, 0.0F}, false},
        {"'---' ignores condition 2", {0, 1, 0, 1, 1, 10.0F, 5.0F}, true},
        {"10 < 20 < 30 (and)", {1, 1, 0, 1, 1, 10.0F, 30.0F}, true},
        {"30 < 20 < 40 (and)", {1, 1, 0, 1, 1, 30.0F, 40.0F}, false},
        {"20 > 30 or 20 < 25", {2, 1, 0, 1, 1, 30.0F, 25.0F}, true},
        {"20 > 30 or 20 < 5", {2, 1, 0, 1, 1, 30.0F, 5.0F}, false},
        {"sum 100 > 50", {0, 1, 0, 1, 5, 50.0F, 0.0F}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sim::outputFromConditions(c.out, m), c.expected) << c.name;
    }
}

TEST(DeviceRules, UnitConversionsAreInverse)
{
    for (std::uint8_t units = 0; units < 5; ++units) {
        EXPECT_NEAR(sim::unitToNewtons(sim::newtonsToUnit(1234.5, units), units), 1234.5, 1e-9) << int(units);
    }
    EXPECT_NEAR(sim::newtonsToUnit(9.80665, 3), 1.0, 1e-12);
    EXPECT_NEAR(sim::newtonsToUnit(9.80665, 2), 1000.0, 1e-9);
}
