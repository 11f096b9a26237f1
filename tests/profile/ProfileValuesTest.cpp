#include "settings/profile/ProfileValues.h"

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <optional>

using namespace qmx::settings;

namespace {

std::optional<QString> text(const char* s)
{
    return QString::fromUtf8(s);
}

} // namespace

TEST(ProfileValues, IntegersReadInDecimalOrHexOrGiveTheDefault)
{
    constexpr int kDefault = 77;
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"12", 12},
        {"-5", -5},
        {"+8", 8},
        {" 7 ", 7},
        {"\t-1\t", -1},
        {"0", 0},
        {"007", 7},
        {"0x3", 3},
        {"0X1f", 31},
        {"0x", kDefault},
        {"0X", kDefault},
        {"$1F", 31},
        {"$ff", 255},
        {"$3", 3},
        {"$", kDefault},
        {"0x0x5", kDefault},
        {"$-5", kDefault},
        {"-0x10", kDefault},
        {"0x1G", kDefault},
        {"yes", kDefault},
        {"true", kDefault},
        {"1.5", kDefault},
        {"1,5", kDefault},
        {"1 2", kDefault},
        {"", kDefault},
        {"-", kDefault},
        {"+", kDefault},
        {"12abc", kDefault},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", kDefault},
        {"-2147483649", kDefault},
        {"99999999999999999999999", kDefault},
        {"0x7FFFFFFF", 2147483647},
        {"0xFFFFFFFF", -1},
        {"$80000000", -2147483647 - 1},
        {"0x100000000", kDefault},
        {"$0000000000000001", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readInteger(text(c.text), kDefault), c.expected) << '"' << c.text << '"';
}

TEST(ProfileValues, MissingIntegerGivesTheDefault)
{
    EXPECT_EQ(readInteger(std::nullopt, 2), 2);
    EXPECT_EQ(readInteger(std::nullopt, -1), -1);
}

TEST(ProfileValues, FlagsReadAsIntegersNonZeroIsTrue)
{
    struct Case {
        std::optional<QString> text;
        bool defaultValue;
        bool expected;
    };
    const Case cases[] = {
        {text("1"), false, true},
        {text("2"), false, true},
        {text("-5"), false, true},
        {text("0x10"), false, true},
        {text("0"), true, false},
        {text(" 0 "), true, false},
        {text("true"), false, false},
        {text("yes"), true, true},
        {text(""), false, false},
        {text(""), true, true},
        {std::nullopt, true, true},
        {std::nullopt, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(readBool(c.text, c.defaultValue), c.expected)
            << (c.text ? c.text->toStdString() : "<missing>") << " default " << c.defaultValue;
}

TEST(ProfileValues, TextIsTakenAsItIsOrTheDefaultWhenMissing)
{
    EXPECT_EQ(readString(text("192.168.0.2"), QStringLiteral("x")), QStringLiteral("192.168.0.2"));
    EXPECT_EQ(readString(text(""), QStringLiteral("2.000")), QString());
    EXPECT_EQ(readString(std::nullopt, QStringLiteral("2.000")), QStringLiteral("2.000"));
}

TEST(ProfileValues, WrittenIntegersAndFlagsReadBackTheSame)
{
    for (const int v : {0, 1, -1, 246, 2147483647, -2147483647 - 1})
        EXPECT_EQ(readInteger(integerText(v), 12345), v) << v;
    EXPECT_EQ(integerText(-1), QStringLiteral("-1"));
    EXPECT_EQ(flagText(true), QStringLiteral("1"));
    EXPECT_EQ(flagText(false), QStringLiteral("0"));
}
