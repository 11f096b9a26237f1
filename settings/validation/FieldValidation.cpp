#include "FieldValidation.h"

#include <cmath>
#include <limits>

namespace qmx::settings {

QString settingText(float value, int precision, int decimals, const display::NumberLocale& locale)
{
    return display::formatFixedExact(value, precision, decimals, locale);
}

RealFieldResult ValidateRealField(const QString& text, int decimals, float lower, float upper,
                                  const display::NumberLocale& locale)
{
    RealFieldResult result;
    const std::optional<double> parsed = display::parseUserReal(text, locale);
    if (!parsed) {
        return result;
    }
    // A number beyond float32 would become infinity on the wire; it is refused like any value
    // outside the bounds, and the field shows the number typed rather than "INF". A number a
    // little above the largest float32 that still rounds to it (its own shortest text,
    // "3.4028235E+38") is a float32 like any other.
    if (std::isinf(static_cast<float>(*parsed))) {
        result.rewritten = display::formatFixed(*parsed, kFieldPrecision, decimals, locale);
        return result;
    }
    result.value = static_cast<float>(*parsed);
    result.rewritten = settingText(result.value, kFieldPrecision, decimals, locale);
    result.ok = !(result.value < lower || result.value > upper);
    return result;
}

std::optional<std::int32_t> StrToInt(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n) {
        return std::nullopt; // a sign or a prefix without digits
    }
    // The magnitude is gathered in 64 bits and checked against the 32-bit range at every digit,
    // so a long run of digits cannot overflow.
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (base == 16 && c >= u'a' && c <= u'f') {
            digit = c - u'a' + 10;
        } else if (base == 16 && c >= u'A' && c <= u'F') {
            digit = c - u'A' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

IntegerFieldResult ValidateIntegerField(const QString& text, std::int32_t lower, std::int32_t upper)
{
    IntegerFieldResult result;
    const auto value = StrToInt(text);
    if (!value) {
        return result;
    }
    result.value = *value;
    result.ok = *value >= lower && *value <= upper;
    return result;
}

QString realBoundText(float bound, const display::NumberLocale& locale)
{
    // Nine significant digits hold every bound in use (100000000) in fixed-point form.
    constexpr int kBoundPrecision = 9;
    return display::formatFixedExact(bound, kBoundPrecision, 0, locale);
}

QString refusalBoxText(const QString& message, const QStringList& fieldLines)
{
    if (fieldLines.isEmpty()) {
        return message;
    }
    return message + QStringLiteral("\n\n") + fieldLines.join(u'\n');
}

QString notAnIntegerText(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

} // namespace qmx::settings
