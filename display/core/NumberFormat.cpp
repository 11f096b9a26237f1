#include "display/core/NumberFormat.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

namespace qmx::display {

namespace {

constexpr int kMaxPrecision = 18;
constexpr int kMaxDecimals = 18;

// A positive finite value as 0.d1d2d3... x 10^intDigits, where `digits` holds d1d2d3... without
// leading or trailing zeros. An empty `digits` means zero. `intDigits` is the number of digits before
// the decimal point (0 or negative for values below 1: 0.00123 is "123" with intDigits -2).
struct Decimal {
    std::string digits;
    int intDigits = 0;

    bool isZero() const { return digits.empty(); }
};

// Number of fractional decimal digits in the exact expansion of a finite double: a value
// m x 2^-n (m odd) has exactly n of them, since 2^-n = 5^n / 10^n.
int exactFractionDigits(double magnitude)
{
    int exponent = 0;
    const double mantissa = std::frexp(magnitude, &exponent);
    auto bits = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
    int lowest = exponent - 53;
    while (bits != 0 && (bits & 1U) == 0) {
        bits >>= 1U;
        ++lowest;
    }
    return lowest < 0 ? -lowest : 0;
}

// The exact decimal expansion of a positive finite double. std::to_chars in fixed notation with as
// many fractional digits as the value really has performs no rounding at all, so the digits are the
// double's own; the largest double has 309 integer digits and the smallest 1074 fractional ones.
Decimal exactDecimal(double magnitude)
{
    Decimal d;
    if (magnitude == 0.0) {
        return d;
    }
    std::array<char, 1200> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                      std::chars_format::fixed, exactFractionDigits(magnitude));
    if (result.ec != std::errc{}) {
        return d; // cannot happen with this buffer size; treat as zero rather than read garbage
    }
    const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    const auto point = text.find('.');
    const std::string_view integerPart = text.substr(0, point);
    const std::string_view fractionPart =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);

    d.digits.reserve(text.size());
    const auto firstInteger = integerPart.find_first_not_of('0');
    if (firstInteger != std::string_view::npos) {
        d.digits.append(integerPart.substr(firstInteger));
        d.intDigits = static_cast<int>(integerPart.size() - firstInteger);
        d.digits.append(fractionPart);
    } else {
        const auto firstFraction = fractionPart.find_first_not_of('0');
        // magnitude > 0, so a non-zero digit exists somewhere.
        d.digits.append(fractionPart.substr(firstFraction));
        d.intDigits = -static_cast<int>(firstFraction);
    }
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    return d;
}

// Keeps the first `keep` significant digits, rounding half away from zero (on magnitudes: up when
// the first dropped digit is 5 or more). A carry out of the leading digit turns 99.96 into 100 and
// moves the decimal point one place. `keep` may be zero or negative when the cut lies left of the
// first significant digit: 0.004 kept to two decimals is zero, 0.005 becomes 0.01.
void roundToDigits(Decimal& d, int keep)
{
    if (d.isZero() || keep >= static_cast<int>(d.digits.size())) {
        return;
    }
    if (keep < 0) {
        d.digits.clear();
        d.intDigits = 0;
        return;
    }
    const bool roundUp = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.intDigits;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    if (d.digits.empty()) {
        d.intDigits = 0;
    }
}

// Digit at a position counted from the decimal point (0 = units, 1 = tens, -1 = tenths ...), with
// the zeros that the compact form leaves out.
char digitAt(const Decimal& d, int index)
{
    if (index < 0 || index >= static_cast<int>(d.digits.size())) {
        return '0';
    }
    return d.digits[static_cast<std::size_t>(index)];
}

std::optional<QString> nonFiniteText(double value)
{
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    return std::nullopt;
}

QString exponentText(bool negative, const Decimal& d, const NumberLocale& locale)
{
    QString text;
    text.reserve(static_cast<qsizetype>(d.digits.size()) + 8);
    if (negative) {
        text += u'-';
    }
    text += QLatin1Char(d.digits.front());
    if (d.digits.size() > 1) {
        text += locale.decimalPoint;
        text += QLatin1String(d.digits.data() + 1, static_cast<qsizetype>(d.digits.size() - 1));
    }
    const int exponent = d.intDigits - 1;
    text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    text += QString::number(std::abs(exponent));
    return text;
}

// Integer part (with optional grouping) and exactly `decimals` fractional digits of a rounded value.
QString fixedText(bool negative, const Decimal& d, int decimals, bool group, const NumberLocale& locale)
{
    QString text;
    text.reserve(std::max(d.intDigits, 1) * 2 + decimals + 2);
    if (negative && !d.isZero()) {
        text += u'-';
    }
    if (d.intDigits <= 0) {
        text += u'0';
    } else {
        for (int i = 0; i < d.intDigits; ++i) {
            if (group && i > 0 && (d.intDigits - i) % 3 == 0) {
                text += locale.groupSeparator;
            }
            text += QLatin1Char(digitAt(d, i));
        }
    }
    if (decimals > 0) {
        text += locale.decimalPoint;
        for (int i = 0; i < decimals; ++i) {
            text += QLatin1Char(digitAt(d, d.intDigits + i));
        }
    }
    return text;
}

QString formatFixedImpl(double value, int precision, int decimals, bool group, const NumberLocale& locale)
{
    if (auto text = nonFiniteText(value)) {
        return *text;
    }
    precision = std::clamp(precision, 1, kMaxPrecision);
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    const bool negative = std::signbit(value);
    Decimal d = exactDecimal(std::fabs(value));
    // Whichever cut is coarser wins: `precision` significant digits, or `decimals` places.
    roundToDigits(d, std::min(precision, d.intDigits + decimals));
    if (d.intDigits > precision) {
        return exponentText(negative, d, locale);
    }
    return fixedText(negative, d, decimals, group, locale);
}

bool isBlank(QChar c)
{
    return c.isSpace();
}

} // namespace

NumberLocale NumberLocale::system()
{
    const QLocale locale = QLocale::system();
    // Qt gives the separators as strings; every locale in use has one character for each. A locale
    // that gave none falls back to the C separators rather than to an empty character.
    const QString point = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    NumberLocale result = c();
    if (point.size() == 1) {
        result.decimalPoint = point.front();
    }
    if (group.size() == 1) {
        result.groupSeparator = group.front();
    }
    return result;
}

NumberLocale NumberLocale::c()
{
    return NumberLocale{u'.', u','};
}

QString formatNumber(double value, int decimals, const NumberLocale& locale)
{
    return formatFixedImpl(value, kReadoutPrecision, decimals, true, locale);
}

QString formatFixed(double value, int precision, int decimals, const NumberLocale& locale)
{
    return formatFixedImpl(value, precision, decimals, false, locale);
}

namespace {

// The float32 that a text reads back as, or nothing when the text is not a number.
std::optional<float> readBackAsFloat(const QString& text, const NumberLocale& locale)
{
    const std::optional<double> parsed = parseReal(text, locale);
    if (!parsed) {
        return std::nullopt;
    }
    return static_cast<float>(*parsed);
}

bool sameFloat(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// The fewest significant digits that identify a finite float32 among all others, as a Decimal:
// std::to_chars without a precision writes exactly those.
Decimal shortestDigits(float magnitude)
{
    Decimal d;
    if (magnitude == 0.0F) {
        return d;
    }
    std::array<char, 32> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude, std::chars_format::scientific);
    if (result.ec != std::errc{}) {
        return exactDecimal(static_cast<double>(magnitude)); // cannot happen with this buffer size
    }
    const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
    const auto e = text.find('e');
    for (const char c : text.substr(0, e)) {
        if (c != '.') {
            d.digits += c;
        }
    }
    int exponent = 0;
    const std::string_view exponentText = text.substr(e + 1);
    const char* first = exponentText.data();
    if (*first == '+') {
        ++first; // from_chars takes a minus sign but no plus sign
    }
    std::from_chars(first, exponentText.data() + exponentText.size(), exponent);
    d.intDigits = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    return d;
}

} // namespace

QString formatFixedExact(float value, int precision, int decimals, const NumberLocale& locale)
{
    const auto widened = static_cast<double>(value);
    if (!std::isfinite(value)) {
        return formatFixed(widened, precision, decimals, locale);
    }
    precision = std::clamp(precision, 1, kMaxPrecision);
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    if (value == 0.0F && std::signbit(value)) {
        // formatFixed drops the sign of a zero; a setting must keep its very bytes.
        return QStringLiteral("-") + formatFixed(0.0, precision, decimals, locale);
    }
    QString text = formatFixed(widened, precision, decimals, locale);
    if (const auto back = readBackAsFloat(text, locale); back && sameFloat(*back, value)) {
        return text;
    }
    const bool negative = std::signbit(value);
    const Decimal d = shortestDigits(std::fabs(value));
    const int fractionDigits = std::max(0, static_cast<int>(d.digits.size()) - d.intDigits);
    const int places = std::max(decimals, fractionDigits);
    if (d.intDigits > precision || places > kMaxDecimals) {
        return exponentText(negative, d, locale);
    }
    return fixedText(negative, d, places, false, locale);
}

QString formatInteger(long long value)
{
    return QString::number(value);
}

QString formatGeneral(double value, const NumberLocale& locale)
{
    if (auto text = nonFiniteText(value)) {
        return *text;
    }
    const bool negative = std::signbit(value);
    Decimal d = exactDecimal(std::fabs(value));
    roundToDigits(d, kGeneralPrecision);
    if (d.isZero()) {
        return QStringLiteral("0");
    }
    // Below 0.00001 (intDigits -4 is 0.0000d...) or beyond 15 integer digits: exponent form.
    if (d.intDigits > kGeneralPrecision || d.intDigits < -4) {
        return exponentText(negative, d, locale);
    }
    const int fractionDigits = std::max(0, static_cast<int>(d.digits.size()) - d.intDigits);
    return fixedText(negative, d, fractionDigits, false, locale);
}

std::optional<double> parseReal(const QString& text, const NumberLocale& locale)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }

    // Rebuilt in ASCII with "." as the point, for std::from_chars, which neither takes a leading
    // "+" nor depends on the C library's locale.
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(end - begin) + 1);
    qsizetype i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') {
            ascii += '-';
        }
        ++i;
    }
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    int mantissaDigits = 0;
    bool seenPoint = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            ascii += static_cast<char>(c.unicode());
            ++mantissaDigits;
        } else if (c == locale.decimalPoint && !seenPoint) {
            ascii += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (i < end && (text[i] == u'E' || text[i] == u'e')) {
        ascii += 'e';
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) {
            if (text[i] == u'-') {
                ascii += '-';
            }
            ++i;
        }
        int exponentDigits = 0;
        for (; i < end && isDigit(text[i]); ++i) {
            ascii += static_cast<char>(text[i].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != end) {
        return std::nullopt;
    }

    double value = 0.0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value,
                                        std::chars_format::general);
    if (result.ec != std::errc{} || result.ptr != ascii.data() + ascii.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> parseUserReal(const QString& text, const NumberLocale& locale)
{
    // Either mark stands for the locale's separator. Replacing both (rather than only the "other"
    // one) also keeps "." and "," usable in a locale whose separator is neither of them.
    QString normalized = text;
    for (QChar& c : normalized) {
        if (c == u'.' || c == u',') {
            c = locale.decimalPoint;
        }
    }
    return parseReal(normalized, locale);
}

} // namespace qmx::display
