#include "settings/profile/ProfileValues.h"

#include <cstdint>
#include <limits>

namespace qmx::settings {

namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int digit = -1;
    if (u >= u'0' && u <= u'9')
        digit = u - u'0';
    else if (u >= u'a' && u <= u'f')
        digit = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        digit = u - u'A' + 10;
    return digit < base ? digit : -1;
}

// Digits only (no sign, no blanks, no prefix), accumulated with a bound so that long texts
// cannot overflow. QString::toInt is not used: it accepts a second "0x" and surrounding blanks.
std::optional<std::uint64_t> parseDigits(QStringView digits, int base, std::uint64_t limit)
{
    if (digits.isEmpty())
        return std::nullopt;
    std::uint64_t result = 0;
    for (const QChar c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            return std::nullopt;
        result = result * std::uint64_t(base) + std::uint64_t(digit);
        if (result > limit)
            return std::nullopt;
    }
    return result;
}

std::optional<int> parseHex(QStringView digits)
{
    const auto bits = parseDigits(digits, 16, std::numeric_limits<std::uint32_t>::max());
    if (!bits)
        return std::nullopt;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*bits));
}

std::optional<int> parseDecimal(QStringView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    const std::uint64_t limit = negative ? std::uint64_t(std::numeric_limits<int>::max()) + 1
                                         : std::uint64_t(std::numeric_limits<int>::max());
    const auto magnitude = parseDigits(text, 10, limit);
    if (!magnitude)
        return std::nullopt;
    const auto signedValue = negative ? -std::int64_t(*magnitude) : std::int64_t(*magnitude);
    return int(signedValue);
}

} // namespace

std::optional<int> readIntegerText(QStringView text)
{
    text = text.trimmed();
    if (text.size() >= 3 && (text.startsWith(u"0x") || text.startsWith(u"0X")))
        return parseHex(text.mid(2));
    if (text.startsWith(u'$'))
        return parseHex(text.mid(1));
    return parseDecimal(text);
}

int readInteger(const std::optional<QString>& value, int defaultValue)
{
    if (!value)
        return defaultValue;
    return readIntegerText(*value).value_or(defaultValue);
}

bool readBool(const std::optional<QString>& value, bool defaultValue)
{
    return readInteger(value, defaultValue ? 1 : 0) != 0;
}

QString readString(const std::optional<QString>& value, const QString& defaultValue)
{
    return value.value_or(defaultValue);
}

QString integerText(int value)
{
    return QString::number(value);
}

QString flagText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace qmx::settings
