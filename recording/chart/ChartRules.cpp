#include "ChartRules.h"

#include <cmath>
#include <limits>

namespace qmx::recording {

namespace {

constexpr int kFieldPrecision = 8;

} // namespace

RealFieldCheck checkRealField(const QString& text, int decimals, float lower, float upper,
                              const display::NumberLocale& locale)
{
    RealFieldCheck check;
    const std::optional<double> parsed = display::parseUserReal(text, locale);
    if (!parsed) {
        check.text = text;
        return check;
    }
    // A double beyond the float32 range has no float32 value (the conversion would be undefined):
    // it is refused as out of range, and the edit shows what was read.
    if (std::fabs(*parsed) > static_cast<double>(std::numeric_limits<float>::max())) {
        check.text = display::formatFixed(*parsed, kFieldPrecision, decimals, locale);
        return check;
    }
    const auto value = static_cast<float>(*parsed);
    check.value = value;
    check.text = display::formatFixed(static_cast<double>(value), kFieldPrecision, decimals, locale);
    check.ok = value >= lower && value <= upper;
    return check;
}

ThresholdExit autoStartValExit(const RealFieldCheck& check, float trigStartVal, float trigStopVal)
{
    ThresholdExit exit{trigStartVal, trigStopVal, !check.ok, {}};
    if (check.ok && check.value) {
        if (*check.value >= trigStopVal) {
            exit.trigStartVal = *check.value;
        } else {
            exit.refused = true;
            exit.messages << QString::fromUtf8(kStartBelowStopText);
        }
    }
    if (exit.trigStopVal > exit.trigStartVal) {
        exit.messages << QString::fromUtf8(kStartBelowStopText);
    }
    return exit;
}

ThresholdExit autoStopValExit(const RealFieldCheck& check, float trigStartVal, float trigStopVal)
{
    ThresholdExit exit{trigStartVal, trigStopVal, !check.ok, {}};
    if (!check.ok || !check.value) {
        return exit;
    }
    if (*check.value > trigStartVal) {
        exit.refused = true;
        exit.messages << QString::fromUtf8(kStopAboveStartText);
    } else {
        exit.trigStopVal = *check.value;
    }
    return exit;
}

QString bitmapFileName(const QString& chosen)
{
    // The extension is looked for in the file-name part only: a dot in a folder name is not one.
    qsizetype nameStart = chosen.lastIndexOf(u'/') + 1;
#ifdef Q_OS_WIN
    nameStart = std::max(nameStart, chosen.lastIndexOf(u'\\') + 1);
#endif
    const qsizetype dot = chosen.lastIndexOf(u'.');
    if (dot >= nameStart && chosen.mid(dot) == QStringLiteral(".bmp")) {
        return chosen;
    }
    return chosen + QStringLiteral(".bmp");
}

QString timeAxisLabel(double seconds, const display::NumberLocale& locale)
{
    QString text = display::formatFixed(seconds, 15, 5, locale);
    const qsizetype separator = text.indexOf(locale.decimalPoint);
    if (separator >= 0 && !text.contains(u'E')) {
        qsizetype end = text.size();
        while (end > separator + 1 && text.at(end - 1) == u'0') {
            --end;
        }
        if (end == separator + 1) {
            --end;
        }
        text.truncate(end);
    }
    return text;
}

} // namespace qmx::recording
