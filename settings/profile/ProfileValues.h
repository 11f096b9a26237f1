#pragma once
// Typed reading and writing of profile-file values. Reals are not handled here: their texts follow
// the user's number format and are formatted and parsed by the callers.

#include <QString>

#include <optional>

namespace qmx::settings {

/// The integer that `value` holds, or `defaultValue` when it is missing or not an integer.
/// The text is trimmed, then read as hexadecimal after "0x"/"0X" when it has three or more
/// characters, as hexadecimal after "$", and otherwise as a decimal number with an optional sign.
/// Decimal values must fit a 32-bit signed integer; hexadecimal values may use all 32 bits (so
/// "0xFFFFFFFF" reads as -1).
int readInteger(const std::optional<QString>& value, int defaultValue);

/// The integer that `text` holds by the rules of readInteger(), or nothing when it holds none.
std::optional<int> readIntegerText(QStringView text);

/// A flag: read as an integer (with the default as 1 or 0); any non-zero value is true.
bool readBool(const std::optional<QString>& value, bool defaultValue);

/// The text of `value`, or `defaultValue` when it is missing.
QString readString(const std::optional<QString>& value, const QString& defaultValue);

/// The text written for an integer: decimal, "-" for negatives.
QString integerText(int value);

/// The text written for a flag: "1" or "0".
QString flagText(bool value);

} // namespace qmx::settings
