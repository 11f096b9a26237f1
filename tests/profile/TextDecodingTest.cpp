#include "settings/profile/TextDecoding.h"

#include <QByteArray>
#include <QStringDecoder>

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

using namespace qmx::settings;

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

} // namespace

TEST(TextDecoding, PolishLettersDecodeFromWindows1250)
{
    const QByteArray lower("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF");
    const QByteArray upper("\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_EQ(decodeWindows1250(bytesOf(lower)), QStringLiteral("ąćęłńóśźż"));
    EXPECT_EQ(decodeWindows1250(bytesOf(upper)), QStringLiteral("ĄĆĘŁŃÓŚŹŻ"));
}

TEST(TextDecoding, Windows1250KeepsAsciiAndMarksUndefinedBytes)
{
    for (int b = 0; b < 0x80; ++b)
        EXPECT_EQ(windows1250Char(std::uint8_t(b)), char16_t(b)) << b;
    for (const int b : {0x81, 0x83, 0x88, 0x90, 0x98})
        EXPECT_EQ(windows1250Char(std::uint8_t(b)), char16_t(0xFFFD)) << b;
    EXPECT_EQ(windows1250Char(0x80), char16_t(0x20AC)); // euro sign
    EXPECT_EQ(windows1250Char(0xFF), char16_t(0x02D9)); // dot above
}

// Where the Qt build carries a Windows-1250 codec (ICU), every defined byte must agree with it.
TEST(TextDecoding, Windows1250TableAgreesWithTheSystemCodec)
{
    QStringDecoder system("windows-1250");
    if (!system.isValid())
        GTEST_SKIP() << "no windows-1250 codec in this Qt build";
    int compared = 0;
    for (int b = 0x80; b <= 0xFF; ++b) {
        const char16_t ours = windows1250Char(std::uint8_t(b));
        if (ours == 0xFFFD)
            continue;
        const char byte = char(b);
        const QString theirs = system.decode(QByteArrayView(&byte, 1));
        ASSERT_EQ(theirs.size(), 1) << b;
        EXPECT_EQ(ours, theirs.front().unicode()) << std::hex << b;
        ++compared;
    }
    EXPECT_EQ(compared, 123);
}

TEST(TextDecoding, Utf8ValidationAcceptsWellFormedAndRefusesMalformedText)
{
    struct Case {
        QByteArray bytes;
        bool valid;
    };
    const Case cases[] = {
        {QByteArray(), true},
        {QByteArray("plain ASCII=1\r\n"), true},
        {QStringLiteral("Zażółć gęślą jaźń").toUtf8(), true},
        {QByteArray("\xEF\xBB\xBF[Options]"), true},                // byte-order mark
        {QByteArray("\xF0\x9F\x98\x80"), true},                     // U+1F600
        {QByteArray("\xF4\x8F\xBF\xBF"), true},                     // U+10FFFF
        {QByteArray("\xB9\xE6\xEA"), false},                        // Windows-1250 letters
        {QByteArray("Zak\xB3" "ad"), false},                        // one such letter in ASCII
        {QByteArray("\xC0\x80"), false},                            // overlong NUL
        {QByteArray("\xC1\xBF"), false},                            // overlong
        {QByteArray("\xE0\x80\x80"), false},                        // overlong three-byte form
        {QByteArray("\xF0\x80\x80\x80"), false},                    // overlong four-byte form
        {QByteArray("\xED\xA0\x80"), false},                        // UTF-16 surrogate
        {QByteArray("\xF4\x90\x80\x80"), false},                    // above U+10FFFF
        {QByteArray("\xF5\x80\x80\x80"), false},
        {QByteArray("ab\xC5"), false},                              // cut short at the end
        {QByteArray("\xE2\x82"), false},
        {QByteArray("\xC5\x41"), false},                            // continuation missing
        {QByteArray("\x80"), false},                                // lone continuation
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidUtf8(bytesOf(c.bytes)), c.valid) << c.bytes.toHex(' ').toStdString();
}

TEST(TextDecoding, Windows1250EncodesEveryCharacterItDecodes)
{
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t c = windows1250Char(std::uint8_t(byte));
        if (c == 0xFFFD)
            continue;
        const auto encoded = encodeWindows1250(QStringView(&c, 1));
        ASSERT_TRUE(encoded.has_value()) << byte;
        EXPECT_EQ(*encoded, QByteArray(1, char(byte))) << byte;
    }
    EXPECT_FALSE(encodeWindows1250(u"日").has_value());
    EXPECT_FALSE(encodeWindows1250(u"\uFFFD").has_value());
}

TEST(TextDecoding, Utf16AndBinaryAreNotTakenForText)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        bool refused;
    };
    const Case cases[] = {
        {"UTF-16LE with mark", QByteArray("\xFF\xFE[\0S\0]\0", 8), true},
        {"UTF-16BE with mark", QByteArray("\xFE\xFF\0[\0S\0]", 8), true},
        {"UTF-16LE without mark", QByteArray("[\0S\0]\0\r\0\n\0k\0=\0\x42\x01", 18), true},
        {"NUL bytes", QByteArray("[S]\r\nk=\0\0\0x\r\n", 13), true},
        {"empty", QByteArray(), false},
        {"UTF-8", QStringLiteral("[S]\r\nk=żółw\r\n").toUtf8(), false},
        {"Windows-1250", QByteArray("[S]\r\nk=\xBF\xF3\xB3w\r\n"), false},
        {"UTF-8 mark", QByteArray("\xEF\xBB\xBF[S]\r\n"), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(notReadableAsText(bytesOf(c.bytes)).has_value(), c.refused) << c.name;
    }
}
