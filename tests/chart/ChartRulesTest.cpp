// Threshold edits, bitmap file names and time axis labels.

#include "recording/chart/ChartRules.h"

#include <gtest/gtest.h>

namespace qmx::recording {
namespace {

const display::NumberLocale kPoint = display::NumberLocale::c();
const display::NumberLocale kComma{u',', QChar(0x00A0)};

RealFieldCheck check(const QString& text, const display::NumberLocale& locale = kPoint, int decimals = 2)
{
    return checkRealField(text, decimals, kThresholdLowerBound, kThresholdUpperBound, locale);
}

struct FieldCase {
    const char* text;
    bool commaLocale;
    bool ok;
    const char* rewritten;
};

class ThresholdField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(ThresholdField, ChecksAndRewritesTheText)
{
    const FieldCase& c = GetParam();
    const RealFieldCheck r = check(QString::fromUtf8(c.text), c.commaLocale ? kComma : kPoint);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.text, QString::fromUtf8(c.rewritten));
}

INSTANTIATE_TEST_SUITE_P(
    ChartRules, ThresholdField,
    ::testing::Values(FieldCase{"50", false, true, "50.00"}, FieldCase{"12,5", false, true, "12.50"},
                      FieldCase{"12.5", true, true, "12,50"}, FieldCase{" -3e2 ", false, true, "-300.00"},
                      FieldCase{"100000000", false, true, "1E+8"},
                      FieldCase{"-100000000", false, true, "-1E+8"},
                      // Out of range: refused, yet written back with the decimals.
                      FieldCase{"200000000", false, false, "2E+8"}, FieldCase{"abc", false, false, "abc"},
                      FieldCase{"", false, false, ""}, FieldCase{"1e39", false, false, "1E+39"}));

TEST(ChartRules, FieldValueIsRoundedToFloat32)
{
    const RealFieldCheck r = check(QStringLiteral("0.1"));
    ASSERT_TRUE(r.value);
    EXPECT_EQ(*r.value, 0.1F);
}

TEST(ChartRules, StartThresholdBelowStopIsRefusedWithItsMessage)
{
    const ThresholdExit e = autoStartValExit(check(QStringLiteral("5")), 50, 10);
    EXPECT_TRUE(e.refused);
    EXPECT_EQ(e.trigStartVal, 50.0F);
    EXPECT_EQ(e.messages, QStringList{QString::fromUtf8(kStartBelowStopText)});
}

TEST(ChartRules, StartThresholdEqualToStopIsTaken)
{
    const ThresholdExit e = autoStartValExit(check(QStringLiteral("10")), 50, 10);
    EXPECT_FALSE(e.refused);
    EXPECT_EQ(e.trigStartVal, 10.0F);
    EXPECT_TRUE(e.messages.isEmpty());
}

TEST(ChartRules, InvalidStartEntryIsRefusedAndWarnsWhenTheStoredPairIsInverted)
{
    ThresholdExit e = autoStartValExit(check(QStringLiteral("x")), 50, 10);
    EXPECT_TRUE(e.refused);
    EXPECT_TRUE(e.messages.isEmpty());
    // A pair read inverted from the preferences is reported after any entry.
    e = autoStartValExit(check(QStringLiteral("x")), 5, 10);
    EXPECT_EQ(e.messages.size(), 1);
    e = autoStartValExit(check(QStringLiteral("3")), 5, 10);
    EXPECT_EQ(e.messages.size(), 2);
    EXPECT_EQ(e.trigStartVal, 5.0F);
}

TEST(ChartRules, StopThresholdAboveStartIsRefusedWithItsMessage)
{
    const ThresholdExit e = autoStopValExit(check(QStringLiteral("20")), 15, 10);
    EXPECT_TRUE(e.refused);
    EXPECT_EQ(e.trigStopVal, 10.0F);
    EXPECT_EQ(e.messages, QStringList{QString::fromUtf8(kStopAboveStartText)});
}

TEST(ChartRules, StopThresholdUpToStartIsTaken)
{
    const ThresholdExit e = autoStopValExit(check(QStringLiteral("15")), 15, 10);
    EXPECT_FALSE(e.refused);
    EXPECT_EQ(e.trigStopVal, 15.0F);
    EXPECT_TRUE(e.messages.isEmpty());
}

TEST(ChartRules, InvalidStopEntryChangesNothingAndSaysNothing)
{
    const ThresholdExit e = autoStopValExit(check(QStringLiteral("1e9")), 15, 10);
    EXPECT_TRUE(e.refused);
    EXPECT_EQ(e.trigStopVal, 10.0F);
    EXPECT_TRUE(e.messages.isEmpty());
}

TEST(ChartRules, BitmapNameGetsTheExtensionUnlessItEndsInLowerCaseBmp)
{
    const std::pair<const char*, const char*> cases[] = {
        {"wykres", "wykres.bmp"},
        {"wykres.bmp", "wykres.bmp"},
        {"wykres.BMP", "wykres.BMP.bmp"},
        {"wykres.png", "wykres.png.bmp"},
        {"/home/u/a.b/wykres", "/home/u/a.b/wykres.bmp"},
        {"/home/u/a.bmp/wykres", "/home/u/a.bmp/wykres.bmp"},
        {"wykres.", "wykres..bmp"},
    };
    for (const auto& [chosen, expected] : cases) {
        EXPECT_EQ(bitmapFileName(QString::fromUtf8(chosen)), QString::fromUtf8(expected)) << chosen;
    }
}

TEST(ChartRules, TimeLabelsShowUpToFiveDecimalsWithoutTrailingZeros)
{
    EXPECT_EQ(timeAxisLabel(0.0, kPoint), QStringLiteral("0"));
    EXPECT_EQ(timeAxisLabel(2.5, kPoint), QStringLiteral("2.5"));
    EXPECT_EQ(timeAxisLabel(2.5, kComma), QStringLiteral("2,5"));
    EXPECT_EQ(timeAxisLabel(10.0, kPoint), QStringLiteral("10"));
    EXPECT_EQ(timeAxisLabel(0.123456, kPoint), QStringLiteral("0.12346"));
    EXPECT_EQ(timeAxisLabel(-0.01, kPoint), QStringLiteral("-0.01"));
    EXPECT_EQ(timeAxisLabel(3600.0, kPoint), QStringLiteral("3600"));
}

} // namespace
} // namespace qmx::recording
