#pragma once
// Rules of the chart page's inputs and outputs, over plain values: the threshold edits, the
// bitmap file name, the time axis labels.

#include "display/core/NumberFormat.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace qmx::recording {

/// Bounds of both threshold edits (inclusive).
inline constexpr float kThresholdLowerBound = -100000000.0F;
inline constexpr float kThresholdUpperBound = 100000000.0F;

/// Message shown when the start threshold would lie below the stop threshold.
inline constexpr const char* kStartBelowStopText = "Wartość Próg start powinna być większa od Próg stop";
/// Message shown when the stop threshold would lie above the start threshold.
inline constexpr const char* kStopAboveStartText = "Wartość Próg stop powinna być mniejsza od Próg start";

/// Outcome of checking the text of a real-number edit.
struct RealFieldCheck {
    /// The text is a number within the bounds.
    bool ok = false;
    /// The number read, rounded to float32 (absent when the text is not a number or is beyond
    /// the float32 range).
    std::optional<float> value;
    /// The text the edit takes afterwards: the number written back with the given decimals, or
    /// the text as typed when it is not a number.
    QString text;
};

/// Checks an edit's text: either "." or "," as decimal mark; the number is rounded to float32 and
/// written back as formatFixed with precision 8 and `decimals` places, also when it is outside
/// [lower, upper]; bounds are inclusive and compared as float32.
RealFieldCheck checkRealField(const QString& text, int decimals, float lower, float upper,
                              const display::NumberLocale& locale);

/// What leaving a threshold edit does.
struct ThresholdExit {
    float trigStartVal = 0.0F;
    float trigStopVal = 0.0F;
    /// The edit shows the refusal colour.
    bool refused = false;
    /// Messages to show, in order (caption "Warning", warning icon, OK).
    QStringList messages;
};

/// Leaving the start threshold edit: a valid value not below the stop threshold becomes the start
/// threshold; a valid value below it is refused with kStartBelowStopText. Afterwards, whatever
/// happened, the same message is shown again when the stop threshold exceeds the start threshold.
ThresholdExit autoStartValExit(const RealFieldCheck& check, float trigStartVal, float trigStopVal);

/// Leaving the stop threshold edit: an invalid entry changes nothing more; a value above the start
/// threshold is refused with kStopAboveStartText; any other value becomes the stop threshold.
ThresholdExit autoStopValExit(const RealFieldCheck& check, float trigStartVal, float trigStopVal);

/// File name a chart bitmap is saved under: `chosen` with ".bmp" appended unless the extension of
/// its file-name part (from the last "." on, compared exactly) is ".bmp". "wykres.BMP" becomes
/// "wykres.BMP.bmp".
QString bitmapFileName(const QString& chosen);

/// Label of the time axis: up to five decimals, trailing zeros and a bare separator dropped.
/// Examples (point locale): 0 -> "0", 2.5 -> "2.5", 0.123456 -> "0.12346".
QString timeAxisLabel(double seconds, const display::NumberLocale& locale);

} // namespace qmx::recording
