#pragma once
// Number texts used everywhere in the program: readouts, edit fields, labels, CSV lines and INI values.
//
// Rules shared by formatNumber, formatFixed and formatGeneral:
//
// * Rounding is exact decimal rounding of the double as given, half away from zero. The double's
//   complete decimal expansion is taken (a float32 widened to double keeps its binary value, so
//   1.5151f is 1.51510000228881835937...), and it is cut after the last kept digit; the cut rounds
//   the magnitude up when the first dropped digit is 5 or more. So 12.5 to 0 decimals gives 13,
//   -12.5 gives -13, 0.0625 to 3 decimals gives 0.063, while 2.675f (2.67499995...) to 2 decimals
//   gives 2.67.
// * Exponent form, used when the integer part of the rounded value has more digits than the
//   precision allows: the significant digits with trailing zeros dropped, one digit before the
//   locale's decimal separator, then "E", the exponent's sign ("+" or "-") and the exponent without
//   leading zeros. Example, precision 8: 123456789 gives "1.2345679E+8" (point locale) or
//   "1,2345679E+8" (comma locale); 100000000 gives "1E+8". No thousands grouping is applied to it
//   and the requested number of decimals does not apply.
// * Non-finite values: NaN gives "NAN", +infinity "INF", -infinity "-INF", in every locale.
// * Negative zero: a value that rounds to zero is written without a minus sign ("0.00", never
//   "-0.00"), so a readout hovering around zero does not flicker between the two.
// * Precision is clamped to 1..18 significant digits and decimals to 0..18 places.

#include <QChar>
#include <QString>

#include <optional>

namespace qmx::display {

/// The decimal and thousands separators used for number texts: those of the user's regional
/// settings (taken once at start-up with system()), which the program never changes.
struct NumberLocale {
    QChar decimalPoint{u'.'};
    QChar groupSeparator{u','};

    /// Separators of the user's regional settings (QLocale::system()), exactly as Qt reports them;
    /// a Polish locale, for example, groups with a no-break space (U+00A0).
    static NumberLocale system();
    /// The C locale: "." as decimal point and "," as thousands separator.
    static NumberLocale c();

    friend bool operator==(const NumberLocale&, const NumberLocale&) = default;
};

/// Significant digits of a readout written by formatNumber.
inline constexpr int kReadoutPrecision = 8;

/// Significant digits of formatGeneral (reals written to INI files).
inline constexpr int kGeneralPrecision = 15;

/// Readout text with thousands grouping: `value` rounded to at most 8 significant digits and to
/// `decimals` places, whichever is coarser, padded with zeros to exactly `decimals` places; at least
/// one digit before the separator; no separator when `decimals` is 0. A value whose rounded integer
/// part needs more than 8 digits is written in exponent form (see above).
/// Example (point locale): 1234.5, 2 decimals -> "1,234.50".
QString formatNumber(double value, int decimals, const NumberLocale& locale);

/// Fixed-point text without grouping: `value` rounded to `precision` significant digits and to
/// `decimals` places, whichever is coarser, padded with zeros to exactly `decimals` places. A value
/// whose rounded integer part has more digits than `precision` is written in exponent form.
/// Examples (point locale): 2 P8 D4 -> "2.0000"; 1.5151 P2 D2 -> "1.50"; 3.968 P2 D1 -> "4.0".
QString formatFixed(double value, int precision, int decimals, const NumberLocale& locale);

/// Text of a float32 setting that reads back (parseReal, then rounded to float32) as exactly the same
/// float32, so that a value shown, stored in a file and sent again never changes on the way.
/// It is formatFixed(value, precision, decimals) whenever that text reads back as the value, so a
/// value that fits looks as formatFixed writes it. Otherwise it is the shortest text that reads
/// back, with at least `decimals` places: fixed-point ("0.75" for 0.75 with 1 decimal, "150.25"
/// for 150.25 with 1 decimal), or exponent form when its integer part has more digits than
/// `precision` or it would need more than 18 places ("1.00000024E+8" with precision 8). A
/// negative zero keeps its sign ("-0.0"). Non-finite values are written as formatFixed does.
QString formatFixedExact(float value, int precision, int decimals, const NumberLocale& locale);

/// Decimal text of a whole number: no leading zeros, a leading minus sign when negative, no grouping.
QString formatInteger(long long value);

/// General decimal text, as written to INI files: at most 15 significant digits, trailing zeros
/// (and a trailing separator) dropped. Fixed-point when the rounded value is at least 0.00001 and its
/// integer part has at most 15 digits, otherwise exponent form; zero is "0".
/// Examples (point locale): 50.0 -> "50"; double(12.3f) -> "12.3000001907349"; 1e-6 -> "1E-6".
QString formatGeneral(double value, const NumberLocale& locale);

/// Reads a real number written with the locale's decimal separator: blanks around it allowed, an
/// optional sign, digits with at most one separator (".5" and "5." are accepted), an optional
/// exponent ("E3", "e-2", "E+05"). No thousands separators, no other characters. Returns nothing
/// when the text is not such a number, or when its magnitude is beyond the range of a double: too
/// large ("1E400"), or so small that even the smallest subnormal cannot hold it ("1E-400"), so a
/// typed non-zero value never silently becomes infinity or zero.
/// Reads back everything formatGeneral and formatFixed write, "NAN" and "INF" excepted.
std::optional<double> parseReal(const QString& text, const NumberLocale& locale);

/// Reads a real number typed by the user, who may use either "." or "," as decimal mark: both are
/// replaced by the locale's separator, then the text is read as by parseReal. "1,5" and "1.5" both
/// give 1.5 in every locale; a text with both marks (such as "1,234.5") is refused.
std::optional<double> parseUserReal(const QString& text, const NumberLocale& locale);

} // namespace qmx::display
