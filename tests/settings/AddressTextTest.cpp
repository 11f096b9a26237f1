#include "settings/core/AddressText.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

using namespace qmx::settings;

namespace {

using Ip = std::array<std::uint8_t, 4>;
using Mac = std::array<std::uint8_t, 6>;

struct IpCase {
    const char* text;
    std::optional<Ip> expected;
};

void PrintTo(const IpCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class TextToIpTable : public ::testing::TestWithParam<IpCase> {};

} // namespace

TEST_P(TextToIpTable, ReadsAsInetAddr)
{
    const auto& c = GetParam();
    EXPECT_EQ(TextToIp(QString::fromUtf8(c.text)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    AddressText, TextToIpTable,
    ::testing::Values(
        IpCase{"192.168.0.2", Ip{192, 168, 0, 2}},
        IpCase{"0.0.0.0", Ip{0, 0, 0, 0}},
        IpCase{"255.255.255.0", Ip{255, 255, 255, 0}},
        // Fewer parts: the last one fills the remaining bytes.
        IpCase{"10.1", Ip{10, 0, 0, 1}},
        IpCase{"10.1.2", Ip{10, 1, 0, 2}},
        IpCase{"10.65535", Ip{10, 0, 255, 255}},
        IpCase{"10.16777215", Ip{10, 255, 255, 255}},
        IpCase{"3232235522", Ip{192, 168, 0, 2}},
        IpCase{"192.168.258", Ip{192, 168, 1, 2}},
        // Octal and hexadecimal parts.
        IpCase{"010.0.0.1", Ip{8, 0, 0, 1}},
        IpCase{"0x7f.1", Ip{127, 0, 0, 1}},
        IpCase{"0XC0.0xA8.0.0x02", Ip{192, 168, 0, 2}},
        IpCase{"0377.0.0.1", Ip{255, 0, 0, 1}},
        IpCase{"10.0.0.1 ", Ip{10, 0, 0, 1}},
        // Refused: out of range parts.
        IpCase{"192.168.0.300", std::nullopt},
        IpCase{"256.0.0.1", std::nullopt},
        IpCase{"10.16777216", std::nullopt},
        IpCase{"1.2.65536", std::nullopt},
        IpCase{"4294967296", std::nullopt},
        IpCase{"99999999999999999999", std::nullopt},
        // Refused: the broadcast address in any spelling (inet_addr's error value).
        IpCase{"255.255.255.255", std::nullopt},
        IpCase{"0xffffffff", std::nullopt},
        IpCase{"255.16777215", std::nullopt},
        // Refused: unreadable text.
        IpCase{"", std::nullopt},
        IpCase{" ", std::nullopt},
        IpCase{" 10.0.0.1", std::nullopt},
        IpCase{"+10.0.0.1", std::nullopt},
        IpCase{"10.0.0.1x", std::nullopt},
        IpCase{"10.0.0.1 junk", std::nullopt},
        IpCase{"10..0.1", std::nullopt},
        IpCase{"10.0.0.", std::nullopt},
        IpCase{".10.0.0", std::nullopt},
        IpCase{"1.2.3.4.5", std::nullopt},
        IpCase{"08.0.0.1", std::nullopt},
        IpCase{"0x.0.0.1", std::nullopt},
        IpCase{"0xg", std::nullopt},
        IpCase{"abc", std::nullopt},
        IpCase{"١٠.0.0.1", std::nullopt}));

TEST(AddressText, IpTextIsPlainDottedDecimal)
{
    EXPECT_EQ(IpToText(Ip{192, 168, 0, 2}), QStringLiteral("192.168.0.2"));
    EXPECT_EQ(IpToText(Ip{0, 0, 0, 0}), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(IpToText(Ip{255, 10, 7, 100}), QStringLiteral("255.10.7.100"));
}

TEST(AddressText, IpTextReadsBackToTheSameBytes)
{
    for (const Ip ip : {Ip{192, 168, 0, 2}, Ip{10, 0, 0, 1}, Ip{255, 255, 255, 0}, Ip{1, 2, 3, 4}}) {
        EXPECT_EQ(TextToIp(IpToText(ip)), ip);
    }
}

TEST(AddressText, MacTextIsLowercaseHexWithoutLeadingZeros)
{
    EXPECT_EQ(MacToText(Mac{0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07}), QStringLiteral("0:1b:2c:a:ff:7"));
    EXPECT_EQ(MacToText(Mac{0x02, 0x51, 0x4D, 0x58, 0x80, 0x01}), QStringLiteral("2:51:4d:58:80:1"));
}

namespace {
struct MacCase {
    const char* text;
    std::optional<Mac> expected;
};
void PrintTo(const MacCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}
class TextToMacTable : public ::testing::TestWithParam<MacCase> {};
} // namespace

TEST_P(TextToMacTable, ReadsSixHexNumbers)
{
    const auto& c = GetParam();
    EXPECT_EQ(TextToMac(QString::fromUtf8(c.text)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    AddressText, TextToMacTable,
    ::testing::Values(
        MacCase{"0:1b:2c:a:ff:7", Mac{0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07}},
        MacCase{"00:1B:2C:0A:FF:07", Mac{0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07}},
        MacCase{" 0: 1b:\t2c:a:ff:7", Mac{0x00, 0x1B, 0x2C, 0x0A, 0xFF, 0x07}},
        MacCase{"0x1b:0X2c:1:2:3:4", Mac{0x1B, 0x2C, 1, 2, 3, 4}},
        // Only the low 8 bits of each number count.
        MacCase{"100:1ff:2:3:4:5", Mac{0x00, 0xFF, 2, 3, 4, 5}},
        MacCase{"-1:1:2:3:4:5", Mac{0xFF, 1, 2, 3, 4, 5}},
        // Text after the sixth number is ignored.
        MacCase{"1:2:3:4:5:6:7", Mac{1, 2, 3, 4, 5, 6}},
        MacCase{"1:2:3:4:5:6 tail", Mac{1, 2, 3, 4, 5, 6}},
        MacCase{"1:2:3:4:5:6g", Mac{1, 2, 3, 4, 5, 6}},
        // Refused.
        MacCase{"", std::nullopt},
        MacCase{"1:2:3:4:5", std::nullopt},
        MacCase{"1:2:3:4:5:", std::nullopt},
        MacCase{"1 :2:3:4:5:6", std::nullopt},
        MacCase{"1-2-3-4-5-6", std::nullopt},
        MacCase{"1:2:3:g:5:6", std::nullopt},
        MacCase{"1::3:4:5:6", std::nullopt},
        MacCase{"123456789:1:2:3:4:5", std::nullopt}));

TEST(AddressText, MacTextReadsBackToTheSameBytes)
{
    for (const Mac mac : {Mac{0, 0x1B, 0x2C, 0x0A, 0xFF, 7}, Mac{0, 0, 0, 0, 0, 0}, Mac{0xFF, 0xFE, 1, 2, 3, 4}}) {
        EXPECT_EQ(TextToMac(MacToText(mac)), mac);
    }
}
