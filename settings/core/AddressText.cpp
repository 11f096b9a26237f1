#include "AddressText.h"

#include <QStringList>

#include <cstddef>
#include <string>

namespace qmx::settings {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

/// Reads one number part as strtoul with base 0 does: 0x/0X hexadecimal, leading 0 octal, else
/// decimal. Stops at the first character that does not belong to the number. Sets `overflow` when
/// the number does not fit 32 bits, which inet_addr treats as unreadable.
std::uint64_t readPart(const std::string& s, std::size_t& pos, bool& overflow)
{
    int base = 10;
    if (s[pos] == '0') {
        base = 8;
        // "0x" counts as a hexadecimal prefix only when a hex digit follows; otherwise the 0
        // alone is the number and the 'x' is trailing text, as strtoul reads it.
        if (pos + 2 < s.size() && (s[pos + 1] == 'x' || s[pos + 1] == 'X') && hexValue(s[pos + 2]) >= 0) {
            base = 16;
            pos += 2;
        }
    }
    std::uint64_t value = 0;
    while (pos < s.size()) {
        const int digit = hexValue(s[pos]);
        if (digit < 0 || digit >= base) {
            break;
        }
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFULL) {
            overflow = true;
            value = 0xFFFFFFFFULL + 1; // keep it from wrapping while the digits run on
        }
        ++pos;
    }
    return value;
}

} // namespace

QString IpToText(std::span<const std::uint8_t, 4> ip)
{
    return QStringLiteral("%1.%2.%3.%4").arg(ip[0]).arg(ip[1]).arg(ip[2]).arg(ip[3]);
}

std::optional<std::array<std::uint8_t, 4>> TextToIp(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F) {
            return std::nullopt;
        }
    }
    const std::string s = text.toStdString();

    std::array<std::uint64_t, 4> parts{};
    std::size_t count = 0;
    std::size_t pos = 0;
    bool overflow = false;
    for (;;) {
        // Each part must start with a digit: no blanks, signs or empty parts.
        if (pos >= s.size() || !isDigit(s[pos])) {
            return std::nullopt;
        }
        parts[count++] = readPart(s, pos, overflow);
        if (overflow) {
            return std::nullopt;
        }
        if (pos < s.size() && s[pos] == '.') {
            if (count == 4 || parts[count - 1] > 0xFF) {
                return std::nullopt;
            }
            ++pos;
            continue;
        }
        break;
    }
    // inet_addr stops at a blank and ignores what follows it; we accept trailing blanks only, so
    // that "10.0.0.1 abc" is not silently taken as 10.0.0.1.
    for (; pos < s.size(); ++pos) {
        if (!isBlank(s[pos])) {
            return std::nullopt;
        }
    }

    // The last part fills the bytes that the earlier parts left, and must fit in them.
    static constexpr std::array<std::uint64_t, 4> kLastPartMax{0xFFFFFFFFULL, 0xFFFFFFULL, 0xFFFFULL, 0xFFULL};
    const std::uint64_t last = parts[count - 1];
    if (last > kLastPartMax[count - 1]) {
        return std::nullopt;
    }
    std::uint32_t value = static_cast<std::uint32_t>(last);
    for (std::size_t i = 0; i + 1 < count; ++i) {
        value |= static_cast<std::uint32_t>(parts[i]) << (24 - 8 * i);
    }
    if (value == 0xFFFFFFFFU) {
        return std::nullopt;
    }
    return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                                       static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

QString MacToText(std::span<const std::uint8_t, 6> mac)
{
    QStringList parts;
    for (const auto b : mac) {
        parts.append(QString::number(b, 16));
    }
    return parts.join(QLatin1Char(':'));
}

std::optional<std::array<std::uint8_t, 6>> TextToMac(const QString& text)
{
    const std::string s = text.toStdString();
    std::array<std::uint8_t, 6> mac{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < mac.size(); ++i) {
        if (i > 0) {
            // The separator must follow the previous number directly, as in the format "%x:%x".
            if (pos >= s.size() || s[pos] != ':') {
                return std::nullopt;
            }
            ++pos;
        }
        while (pos < s.size() && isBlank(s[pos])) {
            ++pos;
        }
        bool negative = false;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
            negative = s[pos] == '-';
            ++pos;
        }
        if (pos + 2 < s.size() && s[pos] == '0' && (s[pos + 1] == 'x' || s[pos + 1] == 'X') &&
            hexValue(s[pos + 2]) >= 0) {
            pos += 2;
        }
        std::uint64_t value = 0;
        std::size_t digits = 0;
        while (pos < s.size() && hexValue(s[pos]) >= 0) {
            value = (value << 4) | static_cast<std::uint64_t>(hexValue(s[pos]));
            if (value > 0xFFFFFFFFULL) {
                return std::nullopt;
            }
            ++digits;
            ++pos;
        }
        if (digits == 0) {
            return std::nullopt;
        }
        // %x stores a negated number modulo 2^32; its low byte is what counts.
        const auto word = static_cast<std::uint32_t>(value);
        mac[i] = static_cast<std::uint8_t>(negative ? (0U - word) : word);
    }
    return mac;
}

} // namespace qmx::settings
