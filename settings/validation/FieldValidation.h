#pragma once
// The checks that every settings writer applies to its edit fields before anything is sent.
// They take the field's text and return the verdict, the value and the text the field should show;
// the widget layer applies the text and the refusal colour.

#include "display/core/NumberFormat.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace qmx::settings {

/// Background of an edit field whose value was refused.
inline constexpr QRgb ErrorColor = qRgb(253, 124, 102);

/// Significant digits of the text a checked real field is rewritten with.
inline constexpr int kFieldPrecision = 8;
/// Significant digits of the stability difference as its field shows it.
inline constexpr int kStabMaxDiffPrecision = 5;
/// Decimals of the sensor constants, whatever the display's number of decimals is.
inline constexpr int kSensDecimals = 4;

/// Text of a real setting in its field, in a settings file and wherever it is sent from: at least
/// `decimals` places, more when the value needs them, so that reading the text back gives exactly
/// the float32 it came from (formatFixedExact).
QString settingText(float value, int precision, int decimals, const display::NumberLocale& locale);

/// Verdict of ValidateRealField.
struct RealFieldResult {
    bool ok = false;
    float value = 0.0F;              ///< the number read, rounded to float32 (0 when unreadable)
    std::optional<QString> rewritten; ///< the text the field takes; nothing: leave it as typed
};

/// Checks a real-number field. The text may use "." or "," as decimal mark, an optional sign and
/// exponent and blanks around it. The number is rounded to float32 and the field text rewritten as
/// settingText(precision 8, `decimals`), also when out of bounds, so the field shows exactly the
/// value that is used. The bounds are inclusive and compared as float32 (so 100000001 passes an
/// upper bound of 100000000, and 0.1 passes 0.1).
/// A number too large for float32 is refused. An unreadable text is refused and not rewritten.
RealFieldResult ValidateRealField(const QString& text, int decimals, float lower, float upper,
                                  const display::NumberLocale& locale);

/// Reads a whole number as Delphi's StrToInt does: blanks before it skipped, an optional sign, then
/// decimal digits, or hexadecimal digits after "$", "x" or "0x" (either case). Nothing may follow.
/// Nothing when the text is not such a number or the value does not fit a signed 32-bit integer.
std::optional<std::int32_t> StrToInt(const QString& text);

/// Verdict of ValidateIntegerField. The field text is never rewritten.
struct IntegerFieldResult {
    bool ok = false;
    std::int32_t value = 0; ///< the number read (0 when unreadable)
};

/// Checks a whole-number field: StrToInt of the text, then the inclusive bounds.
IntegerFieldResult ValidateIntegerField(const QString& text, std::int32_t lower, std::int32_t upper);

/// A bound of a real field as refusal messages show it: the float32 bound exactly, in its shortest
/// form ("0.1", "-100000000"), never rounded to a neighbouring number.
QString realBoundText(float bound, const display::NumberLocale& locale);

/// Text of the refusal box: the message itself, then, after a blank line, one line per refused
/// field. Just the message when no line is given.
QString refusalBoxText(const QString& message, const QStringList& fieldLines);

/// Message of the conversion error box for a text that is not a whole number.
QString notAnIntegerText(const QString& text);

} // namespace qmx::settings
