#include "QtPrinters.h"
#include "display/core/NumberFormat.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace qmx::display;

namespace {

const NumberLocale kPoint{u'.', u','};
const NumberLocale kComma{u',', QChar(0x00A0)};
const NumberLocale kCommaDot{u',', u'.'};

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Readings arrive as float32 and are widened; the tests feed them the same way.
double f32(float v)
{
    return static_cast<double>(v);
}

// Writes the comma-locale expectation with a readable "_" for the no-break space.
QString nbsp(const char* text)
{
    return QString::fromUtf8(text).replace(u'_', QChar(0x00A0));
}

struct NumberCase {
    double value;
    int decimals;
    const char* point;
    const char* comma; // "_" stands for the no-break space
};

class FormatNumberTable : public ::testing::TestWithParam<NumberCase> {};

TEST_P(FormatNumberTable, GroupsThousandsAndRoundsToDecimalsOrEightDigits)
{
    const NumberCase& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, c.decimals, kPoint), QString::fromUtf8(c.point))
        << "value " << c.value << " decimals " << c.decimals;
    EXPECT_EQ(formatNumber(c.value, c.decimals, kComma), nbsp(c.comma))
        << "value " << c.value << " decimals " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    formatNumber, FormatNumberTable,
    ::testing::Values(
        NumberCase{1234.5, 2, "1,234.50", "1_234,50"},
        NumberCase{1500.0, 2, "1,500.00", "1_500,00"},
        NumberCase{-1234.5, 1, "-1,234.5", "-1_234,5"},
        NumberCase{12.5, 0, "13", "13"},
        NumberCase{-12.5, 0, "-13", "-13"},
        NumberCase{2.5, 0, "3", "3"},
        NumberCase{0.0, 2, "0.00", "0,00"},
        NumberCase{0.0, 0, "0", "0"},
        NumberCase{999.0, 0, "999", "999"},
        NumberCase{1000.0, 0, "1,000", "1_000"},
        NumberCase{999.999, 2, "1,000.00", "1_000,00"},
        NumberCase{12345678.0, 2, "12,345,678.00", "12_345_678,00"},
        // 8 significant digits win over 2 decimals: 1234567.875 becomes 1234567.9.
        NumberCase{f32(1234567.875F), 2, "1,234,567.90", "1_234_567,90"},
        NumberCase{123456.789, 4, "123,456.7900", "123_456,7900"},
        NumberCase{f32(1.5151F), 4, "1.5151", "1,5151"},
        NumberCase{f32(0.1F), 8, "0.10000000", "0,10000000"},
        NumberCase{0.000012345678, 8, "0.00001235", "0,00001235"},
        NumberCase{1e-9, 4, "0.0000", "0,0000"},
        NumberCase{0.005, 2, "0.01", "0,01"},
        // More than 8 integer digits, before or after rounding: exponent form, no grouping.
        NumberCase{123456789.0, 2, "1.2345679E+8", "1,2345679E+8"},
        NumberCase{-123456789.0, 0, "-1.2345679E+8", "-1,2345679E+8"},
        NumberCase{99999999.5, 0, "1E+8", "1E+8"},
        NumberCase{99999999.0, 1, "99,999,999.0", "99_999_999,0"},
        NumberCase{1e20, 2, "1E+20", "1E+20"},
        NumberCase{f32(3.4e38F), 1, "3.4E+38", "3,4E+38"}));

TEST(formatNumber, GroupSeparatorIsTheLocalesOwn)
{
    EXPECT_EQ(formatNumber(1234567.5, 2, kCommaDot), "1.234.567,50");
}

TEST(formatNumber, NegativeValueRoundingToZeroHasNoMinusSign)
{
    EXPECT_EQ(formatNumber(-0.0, 1, kPoint), "0.0");
    EXPECT_EQ(formatNumber(-0.004, 2, kPoint), "0.00");
    EXPECT_EQ(formatNumber(-0.4, 0, kPoint), "0");
    EXPECT_EQ(formatNumber(-0.005, 2, kPoint), "-0.01");
}

TEST(formatNumber, NonFiniteValuesHaveFixedTexts)
{
    for (const NumberLocale& locale : {kPoint, kComma}) {
        EXPECT_EQ(formatNumber(kNan, 2, locale), "NAN");
        EXPECT_EQ(formatNumber(kInf, 2, locale), "INF");
        EXPECT_EQ(formatNumber(-kInf, 0, locale), "-INF");
    }
}

struct FixedCase {
    double value;
    int precision;
    int decimals;
    const char* point;
};

class FormatFixedTable : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FormatFixedTable, RoundsToPrecisionOrDecimalsWithoutGrouping)
{
    const FixedCase& c = GetParam();
    const QString expected = QString::fromUtf8(c.point);
    EXPECT_EQ(formatFixed(c.value, c.precision, c.decimals, kPoint), expected)
        << "value " << c.value << " P" << c.precision << " D" << c.decimals;
    // In the comma locale only the decimal point changes: no grouping to differ.
    QString commaExpected = expected;
    commaExpected.replace(u'.', u',');
    EXPECT_EQ(formatFixed(c.value, c.precision, c.decimals, kComma), commaExpected)
        << "value " << c.value << " P" << c.precision << " D" << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    formatFixed, FormatFixedTable,
    ::testing::Values(
        FixedCase{2.0, 8, 4, "2.0000"},
        FixedCase{f32(1.5151F), 2, 2, "1.50"},
        FixedCase{f32(3.968F), 2, 1, "4.0"},
        FixedCase{1984 * 0.001, 2, 1, "2.0"},        // response delay 1984 ms
        FixedCase{128 * 250 * 0.001, 2, 1, "32.0"},  // response delay 32000 ms
        FixedCase{50.0 / 16.0, 2, 2, "3.10"},        // stability time 3.125 s
        FixedCase{50.0 / 33.0, 2, 2, "1.50"},
        FixedCase{200.0 / 4.0, 2, 2, "50.00"},
        FixedCase{0.0, 2, 2, "0.00"},
        FixedCase{(6000 - 1) * 0.01, 3, 2, "60.00"}, // time to next record
        FixedCase{(10 - 1) * 0.01, 3, 2, "0.09"},
        FixedCase{(10 - 10) * 0.01, 3, 2, "0.00"},
        FixedCase{f32(12.3F), 8, 2, "12.30"},
        FixedCase{f32(-12.3F), 8, 4, "-12.3000"},
        FixedCase{1234567.0, 8, 2, "1234567.00"},
        FixedCase{0.0625, 8, 3, "0.063"},
        FixedCase{-0.0625, 8, 3, "-0.063"},
        FixedCase{0.125, 8, 2, "0.13"},
        FixedCase{-0.125, 8, 2, "-0.13"},
        FixedCase{f32(2.675F), 8, 2, "2.67"}, // 2.67499995... is below the half
        FixedCase{2.675, 8, 2, "2.67"},       // and so is the double 2.67499999...
        FixedCase{f32(0.15F), 8, 1, "0.2"},   // 0.15000000596... is above it
        FixedCase{1e-7, 8, 2, "0.00"},
        FixedCase{123.0, 2, 2, "1.2E+2"},
        FixedCase{150.0, 2, 0, "1.5E+2"},
        FixedCase{99.5, 2, 1, "1E+2"},
        FixedCase{99.4, 2, 1, "99.0"},
        FixedCase{123456789.0, 8, 2, "1.2345679E+8"},
        FixedCase{-123456789.0, 8, 2, "-1.2345679E+8"},
        FixedCase{1e-300, 8, 2, "0.00"},
        FixedCase{std::numeric_limits<double>::denorm_min(), 18, 18, "0.000000000000000000"},
        FixedCase{std::numeric_limits<double>::max(), 8, 2, "1.7976931E+308"},
        // Out-of-range arguments are clamped: precision to 1..18, decimals to 0..18.
        FixedCase{3.5, 0, 2, "4.00"},
        FixedCase{3.5, -3, 1, "4.0"},
        FixedCase{3.25, 8, -1, "3"},
        FixedCase{1.0, 8, 40, "1.000000000000000000"}));

TEST(formatFixed, NonFiniteValuesHaveFixedTexts)
{
    EXPECT_EQ(formatFixed(kNan, 8, 2, kPoint), "NAN");
    EXPECT_EQ(formatFixed(-kNan, 8, 2, kComma), "NAN");
    EXPECT_EQ(formatFixed(kInf, 3, 2, kComma), "INF");
    EXPECT_EQ(formatFixed(-kInf, 3, 2, kPoint), "-INF");
}

TEST(formatFixed, NegativeValueRoundingToZeroHasNoMinusSign)
{
    EXPECT_EQ(formatFixed(-0.0, 8, 2, kPoint), "0.00");
    EXPECT_EQ(formatFixed(-0.0004, 8, 3, kPoint), "0.000");
}

// Independent check of the rounding against the C library: glibc's "%.*f" rounds the exact binary
// value correctly too, and differs from ours only on exact ties (it rounds those to even), which
// the check recognises from the exact expansion and settles away from zero by itself.
TEST(formatFixed, AgreesWithExactDecimalRoundingOnRandomFloats)
{
    std::mt19937 generator(20240611);
    std::uniform_real_distribution<float> magnitude(-6.0F, 6.0F);
    std::uniform_int_distribution<int> places(0, 6);
    std::bernoulli_distribution negative(0.5);
    int ties = 0;
    for (int n = 0; n < 5000; ++n) {
        const float f = std::pow(10.0F, magnitude(generator)) * (negative(generator) ? -1.0F : 1.0F);
        const auto value = static_cast<double>(f);
        const int decimals = places(generator);

        // A float at or above 1e-6 has fewer than 60 fractional bits: "%.60f" is its exact expansion.
        std::array<char, 128> exact{};
        std::snprintf(exact.data(), exact.size(), "%.60f", std::fabs(value));
        const std::string exactText(exact.data());
        const std::string afterCut = exactText.substr(exactText.find('.') + 1 + decimals);
        const bool tie = afterCut.front() == '5' && afterCut.find_first_not_of('0', 1) == std::string::npos;

        std::array<char, 128> rounded{};
        const double target = tie ? value + std::copysign(std::pow(10.0, -decimals) / 4, value) : value;
        std::snprintf(rounded.data(), rounded.size(), "%.*f", decimals, target);
        std::string expected(rounded.data());
        if (expected.find_first_not_of("-0.") == std::string::npos && expected.front() == '-') {
            expected.erase(0, 1);
        }
        ties += tie ? 1 : 0;
        ASSERT_EQ(formatFixed(value, 18, decimals, kPoint).toStdString(), expected)
            << "float " << exactText << " decimals " << decimals;
    }
    EXPECT_GT(ties, 0) << "the sample should contain some exact ties";
}

TEST(formatInteger, PlainSignedDecimalWithoutGrouping)
{
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(250), "250");
    EXPECT_EQ(formatInteger(-42), "-42");
    EXPECT_EQ(formatInteger(1234567), "1234567");
    EXPECT_EQ(formatInteger(std::numeric_limits<long long>::min()), "-9223372036854775808");
    EXPECT_EQ(formatInteger(std::numeric_limits<long long>::max()), "9223372036854775807");
}

struct GeneralCase {
    double value;
    const char* point;
};

class FormatGeneralTable : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(FormatGeneralTable, FifteenDigitsTrailingZerosDropped)
{
    const GeneralCase& c = GetParam();
    const QString expected = QString::fromUtf8(c.point);
    EXPECT_EQ(formatGeneral(c.value, kPoint), expected) << c.value;
    QString commaExpected = expected;
    commaExpected.replace(u'.', u',');
    EXPECT_EQ(formatGeneral(c.value, kComma), commaExpected) << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    formatGeneral, FormatGeneralTable,
    ::testing::Values(
        GeneralCase{f32(12.3F), "12.3000001907349"},
        GeneralCase{50.0, "50"},
        GeneralCase{10.0, "10"},
        GeneralCase{0.0, "0"},
        GeneralCase{-0.0, "0"},
        GeneralCase{0.1, "0.1"},
        GeneralCase{-2.5, "-2.5"},
        GeneralCase{f32(0.1F), "0.100000001490116"},
        GeneralCase{1.0 / 3.0, "0.333333333333333"},
        GeneralCase{2.0 / 3.0, "0.666666666666667"},
        GeneralCase{10000000.0, "10000000"},
        GeneralCase{0.00001, "0.00001"},
        GeneralCase{0.000001, "1E-6"},
        GeneralCase{-1.5e-7, "-1.5E-7"},
        GeneralCase{123456789012345.0, "123456789012345"},
        GeneralCase{1234567890123456.0, "1.23456789012346E+15"},
        GeneralCase{999999999999999.9, "1E+15"},
        GeneralCase{1e300, "1E+300"},
        GeneralCase{kNan, "NAN"},
        GeneralCase{kInf, "INF"},
        GeneralCase{-kInf, "-INF"}));

TEST(formatGeneral, ReadsBackToWithinFifteenDigits)
{
    const std::vector<double> values{f32(12.3F), 50.0, -0.0025, 1.0 / 7.0, 6.02214076e23, -1.5e-7,
                                      123456789.125, f32(3.4e38F), 2.2250738585072014e-308};
    for (const NumberLocale& locale : {kPoint, kComma}) {
        for (const double v : values) {
            const QString text = formatGeneral(v, locale);
            const auto back = parseReal(text, locale);
            ASSERT_TRUE(back) << text.toStdString();
            EXPECT_NEAR(*back, v, std::fabs(v) * 5e-15) << text.toStdString();
        }
    }
}

struct ParseCase {
    const char* text;
    std::optional<double> point;
    std::optional<double> comma;
};

class ParseRealTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseRealTable, ReadsOnlyTheLocalesSeparator)
{
    const ParseCase& c = GetParam();
    const QString text = QString::fromUtf8(c.text);
    EXPECT_EQ(parseReal(text, kPoint), c.point) << '"' << c.text << "\" point locale";
    EXPECT_EQ(parseReal(text, kComma), c.comma) << '"' << c.text << "\" comma locale";
}

constexpr std::optional<double> kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    parseReal, ParseRealTable,
    ::testing::Values(
        ParseCase{"12,5", kNone, 12.5},
        ParseCase{"12.5", 12.5, kNone},
        ParseCase{"50", 50.0, 50.0},
        ParseCase{" -3.25 ", -3.25, kNone},
        ParseCase{"\t4\t", 4.0, 4.0},
        ParseCase{"+7", 7.0, 7.0},
        ParseCase{"-0", -0.0, -0.0},
        ParseCase{"1E3", 1000.0, 1000.0},
        ParseCase{"1e-2", 0.01, 0.01},
        ParseCase{"2.5E+02", 250.0, kNone},
        ParseCase{"2,5E+02", kNone, 250.0},
        ParseCase{".5", 0.5, kNone},
        ParseCase{"5.", 5.0, kNone},
        ParseCase{"12.3000001907349", 12.3000001907349, kNone},
        ParseCase{"", kNone, kNone},
        ParseCase{"   ", kNone, kNone},
        ParseCase{"-", kNone, kNone},
        ParseCase{".", kNone, kNone},
        ParseCase{"E3", kNone, kNone},
        ParseCase{"1E", kNone, kNone},
        ParseCase{"1E+", kNone, kNone},
        ParseCase{"1.2.3", kNone, kNone},
        ParseCase{"1,234.5", kNone, kNone},
        ParseCase{"1 000", kNone, kNone},
        ParseCase{"12a", kNone, kNone},
        ParseCase{"+-1", kNone, kNone},
        ParseCase{"0x10", kNone, kNone},
        ParseCase{"inf", kNone, kNone},
        ParseCase{"NAN", kNone, kNone},
        ParseCase{"1e400", kNone, kNone},
        ParseCase{"-1e400", kNone, kNone},
        ParseCase{"1e-400", kNone, kNone},
        ParseCase{"1e-320", 1e-320, 1e-320},
        ParseCase{"\xD9\xA1\xD9\xA2", kNone, kNone})); // Arabic-Indic digits one, two

TEST(parseReal, GroupedTextIsRefused)
{
    EXPECT_EQ(parseReal(formatNumber(1234.5, 2, kComma), kComma), kNone);
    EXPECT_EQ(parseReal(QStringLiteral("1,234.50"), kPoint), kNone);
}

TEST(parseUserReal, AcceptsPointAndCommaInEveryLocale)
{
    const NumberLocale arabic{QChar(0x066B), QChar(0x066C)};
    for (const NumberLocale& locale : {kPoint, kComma, kCommaDot, arabic}) {
        EXPECT_EQ(parseUserReal(QStringLiteral("1,5"), locale), 1.5);
        EXPECT_EQ(parseUserReal(QStringLiteral("1.5"), locale), 1.5);
        EXPECT_EQ(parseUserReal(QStringLiteral(" -0,1 "), locale), -0.1);
        EXPECT_EQ(parseUserReal(QStringLiteral("2.5e3"), locale), 2500.0);
        EXPECT_EQ(parseUserReal(QStringLiteral("100000000"), locale), 100000000.0);
        EXPECT_EQ(parseUserReal(QStringLiteral("1,234.5"), locale), kNone);
        EXPECT_EQ(parseUserReal(QStringLiteral("1.2.3"), locale), kNone);
        EXPECT_EQ(parseUserReal(QStringLiteral("abc"), locale), kNone);
    }
    EXPECT_EQ(parseUserReal(QString(QChar(0x0031)) + QChar(0x066B) + QChar(0x0035), arabic), 1.5);
}

TEST(parseUserReal, ReadsWhatFormatFixedWrites)
{
    for (const NumberLocale& locale : {kPoint, kComma}) {
        EXPECT_EQ(parseUserReal(formatFixed(f32(0.1F), 8, 4, locale), locale), 0.1);
        EXPECT_EQ(parseUserReal(formatFixed(123456789.0, 8, 2, locale), locale), 123456790.0);
    }
}

struct ExactCase {
    float value;
    int precision;
    int decimals;
    const char* point;
    const char* comma;
};

class FormatFixedExactTable : public ::testing::TestWithParam<ExactCase> {};

TEST_P(FormatFixedExactTable, ShowsTheDecimalsOrMoreUntilTheTextReadsBackAsTheSameFloat)
{
    const ExactCase& c = GetParam();
    EXPECT_EQ(formatFixedExact(c.value, c.precision, c.decimals, kPoint), QString::fromUtf8(c.point))
        << "value " << c.value << " P" << c.precision << " D" << c.decimals;
    EXPECT_EQ(formatFixedExact(c.value, c.precision, c.decimals, kComma), QString::fromUtf8(c.comma))
        << "value " << c.value << " P" << c.precision << " D" << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    formatFixedExact, FormatFixedExactTable,
    ::testing::Values(
        // Values that the decimals hold look as formatFixed writes them.
        ExactCase{0.1F, 8, 4, "0.1000", "0,1000"},
        ExactCase{2.0F, 8, 4, "2.0000", "2,0000"},
        ExactCase{3.9876F, 8, 4, "3.9876", "3,9876"},
        ExactCase{1e6F, 8, 1, "1000000.0", "1000000,0"},
        ExactCase{-12.5F, 8, 2, "-12.50", "-12,50"},
        ExactCase{0.0F, 8, 2, "0.00", "0,00"},
        ExactCase{1e8F, 8, 1, "1E+8", "1E+8"},
        ExactCase{123456792.0F, 8, 0, "1.2345679E+8", "1,2345679E+8"},
        // Values that need more digits get exactly as many as they need.
        ExactCase{0.5F, 5, 0, "0.5", "0,5"},
        ExactCase{0.75F, 5, 1, "0.75", "0,75"},
        ExactCase{0.75F, 8, 0, "0.75", "0,75"},
        ExactCase{150.25F, 8, 1, "150.25", "150,25"},
        ExactCase{2.25F, 8, 1, "2.25", "2,25"},
        ExactCase{0.1F, 8, 0, "0.1", "0,1"},
        ExactCase{-12.5F, 8, 0, "-12.5", "-12,5"},
        ExactCase{2.675F, 8, 2, "2.675", "2,675"},
        ExactCase{1234.56F, 5, 2, "1234.56", "1234,56"},
        ExactCase{2.1234567F, 8, 4, "2.1234567", "2,1234567"},
        ExactCase{1e-7F, 8, 1, "0.0000001", "0,0000001"},
        // Beyond the precision, or beyond 18 places: exponent form with the digits needed.
        ExactCase{100000024.0F, 8, 0, "1.00000024E+8", "1,00000024E+8"},
        ExactCase{1e-30F, 8, 2, "1E-30", "1E-30"},
        // A negative zero keeps its sign, so its bytes survive.
        ExactCase{-0.0F, 8, 1, "-0.0", "-0,0"}));

// Every float32 of the settings' range, and far beyond it, comes back bit for bit from its text,
// and the text is formatFixed's whenever that one already comes back.
TEST(formatFixedExact, EveryFloatReadsBackBitForBit)
{
    std::mt19937 generator(20261210);
    std::uniform_int_distribution<std::uint32_t> bits;
    std::uniform_int_distribution<int> places(0, 4);
    for (int n = 0; n < 20000; ++n) {
        const auto f = std::bit_cast<float>(bits(generator));
        if (!std::isfinite(f)) {
            continue;
        }
        const int decimals = places(generator);
        for (const int precision : {5, 8}) {
            for (const NumberLocale& locale : {kPoint, kComma}) {
                const QString text = formatFixedExact(f, precision, decimals, locale);
                const auto back = parseReal(text, locale);
                ASSERT_TRUE(back.has_value()) << text.toStdString();
                ASSERT_EQ(std::bit_cast<std::uint32_t>(static_cast<float>(*back)), std::bit_cast<std::uint32_t>(f))
                    << text.toStdString() << " P" << precision << " D" << decimals;
                const QString plain = formatFixed(static_cast<double>(f), precision, decimals, locale);
                const auto plainBack = parseReal(plain, locale);
                if (f != 0.0F && plainBack && static_cast<float>(*plainBack) == f) {
                    ASSERT_EQ(text, plain);
                }
            }
        }
    }
}

TEST(NumberLocale, CLocaleUsesPointAndComma)
{
    EXPECT_EQ(NumberLocale::c(), kPoint);
}

} // namespace
