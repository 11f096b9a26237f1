#include "settings/profile/TextDecoding.h"

#include <algorithm>
#include <array>

namespace qmx::settings {

namespace {

constexpr char16_t kUndefined = 0xFFFD;

// The upper half of Windows-1250 (Central European), bytes 0x80..0xFF; the lower half is ASCII.
constexpr std::array<char16_t, 128> kWindows1250High = {
    // 0x80
    0x20AC, kUndefined, 0x201A, kUndefined, 0x201E, 0x2026, 0x2020, 0x2021,
    kUndefined, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    // 0x90
    kUndefined, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    kUndefined, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    // 0xA0
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    // 0xB0
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    // 0xC0
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    // 0xD0
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    // 0xE0
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    // 0xF0
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
static_assert(kWindows1250High.size() == 128);

bool isContinuation(std::uint8_t byte) { return (byte & 0xC0) == 0x80; }

} // namespace

bool isValidUtf8(std::span<const std::uint8_t> bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::uint8_t lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        // The allowed range of the second byte narrows for E0, ED, F0 and F4 so that overlong
        // forms, UTF-16 surrogates and code points above U+10FFFF are refused.
        std::uint8_t secondMin = 0x80;
        std::uint8_t secondMax = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                secondMin = 0xA0;
            else if (lead == 0xED)
                secondMax = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                secondMin = 0x90;
            else if (lead == 0xF4)
                secondMax = 0x8F;
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        if (bytes[i + 1] < secondMin || bytes[i + 1] > secondMax)
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!isContinuation(bytes[i + k]))
                return false;
        }
        i += length;
    }
    return true;
}

char16_t windows1250Char(std::uint8_t byte)
{
    return byte < 0x80 ? char16_t(byte) : kWindows1250High[byte - 0x80];
}

QString decodeWindows1250(std::span<const std::uint8_t> bytes)
{
    QString text;
    text.reserve(qsizetype(bytes.size()));
    for (const std::uint8_t byte : bytes)
        text.append(QChar(windows1250Char(byte)));
    return text;
}

std::optional<QByteArray> encodeWindows1250(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            bytes.append(char(u));
            continue;
        }
        const auto* const found = std::find(kWindows1250High.begin(), kWindows1250High.end(), u);
        if (u == kUndefined || found == kWindows1250High.end())
            return std::nullopt;
        bytes.append(char(0x80 + (found - kWindows1250High.begin())));
    }
    return bytes;
}

std::optional<QString> notReadableAsText(std::span<const std::uint8_t> bytes)
{
    const auto startsWith = [&](std::uint8_t a, std::uint8_t b) {
        return bytes.size() >= 2 && bytes[0] == a && bytes[1] == b;
    };
    if (startsWith(0xFF, 0xFE) || startsWith(0xFE, 0xFF))
        return QStringLiteral("the file is UTF-16 text, which is not read (save it as UTF-8)");
    std::size_t evenZeros = 0;
    std::size_t oddZeros = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0)
            ++(i % 2 == 0 ? evenZeros : oddZeros);
    }
    if (evenZeros + oddZeros == 0)
        return std::nullopt;
    // Text in UTF-16 without a byte-order mark has a zero in every other byte for plain letters.
    const std::size_t pairs = bytes.size() / 2;
    if (pairs > 0 && std::max(evenZeros, oddZeros) * 2 >= pairs && std::min(evenZeros, oddZeros) * 8 < pairs)
        return QStringLiteral("the file is UTF-16 text, which is not read (save it as UTF-8)");
    return QStringLiteral("the file holds NUL bytes: it is not a text file");
}

} // namespace qmx::settings
