#pragma once
// Texts of the CSV recorder: the column set, the header line, data lines, the speed list, the
// time-to-next-record label and the file-name extension rule.
//
// File format: every field, the last one included, is followed by ";"; there is no quoting; every
// line ends with CR LF. Numbers use the locale's decimal separator and carry no grouping and no unit.

#include "display/core/NumberFormat.h"
#include "link/Measurement.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <string_view>

namespace qmx::recording {

/// Which columns a line holds. The columns always appear in the order of the members.
struct RecordColumns {
    bool date = false;                 ///< "Date": day-month-year
    bool time = false;                 ///< "Time": hours:minutes:seconds:milliseconds
    bool count = false;                ///< "No.": running record number
    bool sum = false;                  ///< "Sum": SumValue
    std::array<bool, 4> sensor{};      ///< "Canal 1".."Canal 4": ChannelValue of channel 1..4

    friend bool operator==(const RecordColumns&, const RecordColumns&) = default;
};

/// Line end of every line of the file.
inline constexpr std::string_view kLineEnd = "\r\n";
/// Field separator, written after every field.
inline constexpr char kFieldSeparator = ';';
/// Significant digits of the values in a line.
inline constexpr int kValuePrecision = 8;
/// File name used when none was chosen.
inline constexpr const char* kDefaultFileName = "pomiary.csv";

/// Items of the recording speed list, index 0 first (each with a leading blank).
inline constexpr std::array<const char*, 7> kSpeedItems{" 100 / s.", " 50 / s.", " 25 / s.", " 10 / s.",
                                                        " 1 / s.",   " 10 / min.", " 1 / min"};
/// Measurement frames counted per record, by speed index. The items assume 100 frames a second.
inline constexpr std::array<std::uint32_t, 7> kFramesPerRecord{1, 2, 4, 10, 100, 600, 6000};
/// Speed index selected in a new form, and used for an index outside the list.
inline constexpr int kDefaultSpeedIndex = 3;
/// Seconds per measurement frame assumed by the time-to-next-record label.
inline constexpr double kSecondsPerFrame = 0.01;

/// Frames per record of a speed index; an index outside the list (a damaged preferences file)
/// records as the form's default, " 10 / s.".
std::uint32_t framesPerRecord(int speedIndex);

/// The header line without its line end: the header text of every ticked column followed by ";".
/// Example, all columns: "Date;Time;No.;Sum;Canal 1;Canal 2;Canal 3;Canal 4;".
QString recordHeader(const RecordColumns& columns);

/// Everything a data line is built from.
struct RecordValues {
    QDateTime stamp;            ///< local date and time, one reading of the clock
    std::int64_t number = 0;    ///< value of the "No." column
    float sum = 0.0F;
    std::array<float, 4> sensor{};
    int decimals = 0;           ///< decimals of the display (Decp)
};

/// The fields of a data line without its line end. Date "9-12-2026", time "14:3:7:42" (no leading
/// zeros), numbers as formatFixed with 8 significant digits and `decimals` places (so a NaN reads
/// "NAN" and infinities "INF"/"-INF", as everywhere in the program).
QString recordFields(const RecordColumns& columns, const RecordValues& values,
                     const display::NumberLocale& locale);

/// The bytes appended for one record (buildRecordLine): the header line first when `withHeader`,
/// then the data line, each ending with CR LF. Texts are written as UTF-8.
QByteArray buildRecordLine(const RecordColumns& columns, const RecordValues& values, bool withHeader,
                           const display::NumberLocale& locale);

/// Text of the time-to-next-record label for `framesLeft` frames: formatFixed of framesLeft x 0.01 s
/// with 3 significant digits and 2 decimals, followed by " s". Example: 5999 frames -> "60.00 s".
QString timeToNextRecordText(std::uint32_t framesLeft, const display::NumberLocale& locale);

/// Elapsed time of a run as hours, minutes and seconds, "h:mm:ss" (whole seconds, hours not
/// limited): 3 725 000 ms -> "1:02:05". A negative time reads as 0.
QString elapsedRunText(std::int64_t milliseconds);

/// The name kept for a file chosen in the save dialog: `chosen` itself when its extension (from the
/// last "." of the file-name part on, compared case-sensitively) is ".csv", otherwise `chosen`
/// followed by ".csv". Examples: "dane.txt" -> "dane.txt.csv", "dane.CSV" -> "dane.CSV.csv".
QString withCsvExtension(const QString& chosen);

} // namespace qmx::recording
