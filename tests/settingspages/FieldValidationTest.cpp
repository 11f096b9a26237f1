// The field checks and the derived texts of the sensor page, as pure rules.

#include "settings/validation/FieldValidation.h"
#include "settings/validation/SensorPageTexts.h"

#include <gtest/gtest.h>

#include <limits>

using namespace qmx;
using settings::ValidateIntegerField;
using settings::ValidateRealField;

namespace {

const display::NumberLocale kPoint = display::NumberLocale::c();
const display::NumberLocale kComma{u',', u'\u00a0'};

struct RealCase {
    const char* text;
    int decimals;
    float lower;
    float upper;
    bool ok;
    float value;
    const char* rewritten; // nullptr: the text stays as typed
};

std::ostream& operator<<(std::ostream& os, const RealCase& c)
{
    return os << '"' << c.text << "\" [" << c.lower << ", " << c.upper << "] D" << c.decimals;
}

class RealField : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealField, AcceptsRefusesAndRewritesAsTheRuleSays)
{
    const RealCase& c = GetParam();
    const auto result = ValidateRealField(QString::fromUtf8(c.text), c.decimals, c.lower, c.upper, kPoint);
    EXPECT_EQ(result.ok, c.ok);
    if (c.rewritten != nullptr) {
        ASSERT_TRUE(result.rewritten.has_value());
        EXPECT_EQ(*result.rewritten, QString::fromUtf8(c.rewritten));
        EXPECT_EQ(result.value, c.value);
    } else {
        EXPECT_FALSE(result.rewritten.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, RealField,
    ::testing::Values(
        // Sensor constant: 4 decimals, 0.1 .. 100000000; the lower bound passes as float32.
        RealCase{"0.1", 4, 0.1F, 1e8F, true, 0.1F, "0.1000"},
        RealCase{"0.09", 4, 0.1F, 1e8F, false, 0.09F, "0.0900"},
        RealCase{"2,5", 4, 0.1F, 1e8F, true, 2.5F, "2.5000"},
        RealCase{"2.5", 4, 0.1F, 1e8F, true, 2.5F, "2.5000"},
        RealCase{"  1.5E3 ", 2, 0.1F, 1e8F, true, 1500.0F, "1500.00"},
        // Thresholds: 100000001 is 100000000 as a float32, so it passes; 200000000 does not.
        RealCase{"100000001", 1, -1e8F, 1e8F, true, 1e8F, "1E+8"},
        RealCase{"200000000", 1, -1e8F, 1e8F, false, 2e8F, "2E+8"},
        RealCase{"-100000000", 1, -1e8F, 1e8F, true, -1e8F, "-1E+8"},
        // A value that needs more places than the decimals is shown with them: the text is what is sent.
        RealCase{"150.25", 1, -1e8F, 1e8F, true, 150.25F, "150.25"},
        RealCase{"0,75", 0, 0.0F, 1e8F, true, 0.75F, "0.75"},
        RealCase{"2.1234567", 4, 0.1F, 1e8F, true, 2.1234567F, "2.1234567"},
        // Stability difference: lower bound 0; a refused value is still rewritten.
        RealCase{"-1", 1, 0.0F, 1e8F, false, -1.0F, "-1.0"},
        RealCase{"0", 1, 0.0F, 1e8F, true, 0.0F, "0.0"},
        // Calibration field: 3 decimals, 1 .. 15.
        RealCase{"9.012", 3, 1.0F, 15.0F, true, 9.012F, "9.012"},
        RealCase{"15", 3, 1.0F, 15.0F, true, 15.0F, "15.000"},
        RealCase{"15.5", 3, 1.0F, 15.0F, false, 15.5F, "15.500"},
        // Unreadable texts are refused and left as typed.
        RealCase{"", 2, 0.0F, 1.0F, false, 0.0F, nullptr},
        RealCase{"abc", 2, 0.0F, 1.0F, false, 0.0F, nullptr},
        RealCase{"1,234.5", 2, 0.0F, 1e8F, false, 0.0F, nullptr},
        RealCase{"1.2.3", 2, 0.0F, 1e8F, false, 0.0F, nullptr},
        RealCase{"INF", 2, 0.0F, 1e8F, false, 0.0F, nullptr}));

TEST(RealFieldLocale, CommaLocaleReadsBothMarksAndWritesItsOwn)
{
    for (const char* text : {"2.5", "2,5"}) {
        const auto result = ValidateRealField(QString::fromLatin1(text), 4, 0.1F, 1e8F, kComma);
        EXPECT_TRUE(result.ok) << text;
        EXPECT_EQ(result.value, 2.5F);
        EXPECT_EQ(result.rewritten.value_or(QString()), QStringLiteral("2,5000"));
    }
}

TEST(RefusalTexts, BoundsAreShownAsTheyAreAndFieldLinesFollowTheMessage)
{
    EXPECT_EQ(settings::realBoundText(0.1F, kPoint), QStringLiteral("0.1"));
    EXPECT_EQ(settings::realBoundText(0.1F, kComma), QStringLiteral("0,1"));
    EXPECT_EQ(settings::realBoundText(0.0F, kPoint), QStringLiteral("0"));
    EXPECT_EQ(settings::realBoundText(1e8F, kPoint), QStringLiteral("100000000"));
    EXPECT_EQ(settings::realBoundText(-1e8F, kPoint), QStringLiteral("-100000000"));
    EXPECT_EQ(settings::refusalBoxText(QStringLiteral("Błędne parametry"), {}), QStringLiteral("Błędne parametry"));
    EXPECT_EQ(settings::refusalBoxText(QStringLiteral("Parameters error"), {QStringLiteral("a"), QStringLiteral("b")}),
              QStringLiteral("Parameters error\n\na\nb"));
}

TEST(RealFieldRange, NumberBeyondFloat32IsRefusedAndNotShownAsInfinity)
{
    const auto result = ValidateRealField(QStringLiteral("1E39"), 2, -1e8F, std::numeric_limits<float>::max(), kPoint);
    EXPECT_FALSE(result.ok);
    ASSERT_TRUE(result.rewritten.has_value());
    EXPECT_FALSE(result.rewritten->contains(QStringLiteral("INF")));
}

TEST(RealFieldRange, TextsThatRoundToTheLargestFloat32AreThatFloat32)
{
    constexpr float largest = std::numeric_limits<float>::max();
    struct Case {
        const char* text;
        bool ok;
        float value;
    };
    const Case cases[] = {
        {"3.4028235E+38", true, largest},   // its shortest text, above it as a double
        {"-3.4028235E+38", true, -largest},
        {"3.40282356E+38", true, largest},  // still nearer to it than to infinity
        {"3.40282357E+38", false, 0.0F},    // rounds to infinity
        {"-3.40282357E+38", false, 0.0F},
    };
    for (const auto& c : cases) {
        const auto result = ValidateRealField(QString::fromLatin1(c.text), 2, -largest, largest, kPoint);
        EXPECT_EQ(result.ok, c.ok) << c.text;
        EXPECT_EQ(result.value, c.value) << c.text;
        ASSERT_TRUE(result.rewritten.has_value()) << c.text;
        EXPECT_FALSE(result.rewritten->contains(QStringLiteral("INF"))) << c.text;
    }
    // The text the field is rewritten with reads back as the same value.
    const auto written = ValidateRealField(settings::settingText(largest, settings::kFieldPrecision, 2, kPoint), 2, -largest, largest, kPoint);
    EXPECT_TRUE(written.ok);
    EXPECT_EQ(written.value, largest);
}

struct IntCase {
    const char* text;
    std::optional<std::int32_t> value;
};

class DelphiStrToInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(DelphiStrToInt, ReadsDecimalAndHexLikeDelphi)
{
    EXPECT_EQ(settings::StrToInt(QString::fromLatin1(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DelphiStrToInt,
    ::testing::Values(IntCase{"123", 123}, IntCase{"   42", 42}, IntCase{"-7", -7}, IntCase{"+7", 7},
                      IntCase{"010", 10}, IntCase{"$1F", 31}, IntCase{"x1f", 31}, IntCase{"X1F", 31},
                      IntCase{"0x1F", 31}, IntCase{"0X10", 16}, IntCase{"-$10", -16},
                      IntCase{"2147483647", 2147483647}, IntCase{"-2147483648", std::numeric_limits<std::int32_t>::min()},
                      IntCase{"$7FFFFFFF", 2147483647},
                      // Refused: empty, sign or prefix alone, trailing text, fractions, overflow.
                      IntCase{"", std::nullopt}, IntCase{"  ", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{"$", std::nullopt}, IntCase{"0x", std::nullopt}, IntCase{"12 ", std::nullopt},
                      IntCase{"1.5", std::nullopt}, IntCase{"12a", std::nullopt}, IntCase{"$1G", std::nullopt},
                      IntCase{"2147483648", std::nullopt}, IntCase{"-2147483649", std::nullopt},
                      IntCase{"$80000000", std::nullopt}, IntCase{"99999999999999999999", std::nullopt}));

TEST(IntegerField, BoundsAreInclusive)
{
    EXPECT_TRUE(ValidateIntegerField(QStringLiteral("1"), 1, 100000000).ok);
    EXPECT_TRUE(ValidateIntegerField(QStringLiteral("100000000"), 1, 100000000).ok);
    EXPECT_FALSE(ValidateIntegerField(QStringLiteral("0"), 1, 100000000).ok);
    EXPECT_FALSE(ValidateIntegerField(QStringLiteral("100000001"), 1, 100000000).ok);
    EXPECT_FALSE(ValidateIntegerField(QStringLiteral("1.5"), 1, 100000000).ok);
    EXPECT_TRUE(ValidateIntegerField(QStringLiteral("200"), 0, 200).ok);
    EXPECT_FALSE(ValidateIntegerField(QStringLiteral("201"), 0, 200).ok);
    const auto hex = ValidateIntegerField(QStringLiteral("$C8"), 0, 200);
    EXPECT_TRUE(hex.ok);
    EXPECT_EQ(hex.value, 200);
}

TEST(IntegerField, ConversionErrorTextNamesTheText)
{
    EXPECT_EQ(settings::notAnIntegerText(QStringLiteral("abc")), QStringLiteral("'abc' is not a valid integer value"));
}

struct DelayCase {
    int filter;
    int rate;
    const char* text; // nullptr: the label keeps its text
};

class ResponseDelay : public ::testing::TestWithParam<DelayCase> {};

TEST_P(ResponseDelay, UsesTheWholeMillisecondsPerSample)
{
    const auto& c = GetParam();
    const auto text = settings::responseDelayText(c.filter, c.rate, kPoint);
    if (c.text == nullptr) {
        EXPECT_FALSE(text.has_value());
    } else {
        EXPECT_EQ(text.value_or(QStringLiteral("<none>")), QString::fromLatin1(c.text));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ResponseDelay,
                         ::testing::Values(DelayCase{0, 2, "62 ms"}, DelayCase{4, 2, "992 ms"},
                                           DelayCase{5, 2, "2.0 s"}, DelayCase{7, 0, "32.0 s"},
                                           DelayCase{0, 5, "16 ms"}, DelayCase{7, 6, "1.0 s"},
                                           DelayCase{-1, 2, nullptr}, DelayCase{8, 2, nullptr},
                                           DelayCase{0, -1, nullptr}, DelayCase{0, 7, nullptr}));

TEST(StabilityTime, DividesSamplesByTheRateAndRoundsToTwoDigits)
{
    EXPECT_EQ(settings::stabilityTimeText(50, 2, kPoint), QStringLiteral("3.10 s"));
    EXPECT_EQ(settings::stabilityTimeText(50, 3, kPoint), QStringLiteral("1.50 s"));
    EXPECT_EQ(settings::stabilityTimeText(200, 0, kPoint), QStringLiteral("50.00 s"));
    EXPECT_EQ(settings::stabilityTimeText(0, 2, kPoint), QStringLiteral("0.00 s"));
    EXPECT_EQ(settings::stabilityTimeText(50, 2, kComma), QStringLiteral("3,10 s"));
    EXPECT_FALSE(settings::stabilityTimeText(50, -1, kPoint).has_value());
}

TEST(SumFormula, NamesTheStringOfEachSelection)
{
    EXPECT_EQ(settings::sumFormulaId(0), "IDS_84");
    EXPECT_EQ(settings::sumFormulaId(3), "IDS_87");
    EXPECT_FALSE(settings::sumFormulaId(-1).has_value());
    EXPECT_FALSE(settings::sumFormulaId(4).has_value());
}

} // namespace
