#pragma once
// Reading back the recorder's own CSV files for review: the runs a file holds, and one run loaded
// into a chart store with its time axis.
//
// The file is memory-mapped and parsed in place with std::from_chars: no line is copied, no QString
// is made per field, and the pages stay in the system's page cache instead of a second copy in the
// process. Values are stored as float, as the live chart stores them.

#include "recording/chart/ChartData.h"
#include "recording/recorder/RecordFormat.h"

#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qmx::recording {

/// What the x values of a loaded run mean.
enum class ReviewTimeBase {
    /// Date and time columns: seconds since 1970-01-01 00:00 of the recorded local clock reading,
    /// counted as if that reading were UTC (a date-time axis in UTC shows the recorded clock as is).
    ClockTime,
    /// Time column without date: seconds since midnight of the run's first day; a run that goes
    /// past midnight goes on above 86400.
    TimeOfDay,
    /// No time column: the line's index in the run times the recording period, from 0.
    RecordPeriod,
};

/// One run of a file: a header line and the data lines up to the next header or the file's end.
struct RecordingRun {
    RecordColumns columns;
    std::int64_t headerLine = 0; ///< line number of the run's header (the file's first line is 1)
    std::int64_t lineCount = 0;  ///< lines after the header up to the next header or the end
    std::int64_t firstByte = 0;  ///< offset of the first data line
    std::int64_t endByte = 0;    ///< offset just past the run's last line
};

/// Why a file or a run could not be read. `line` is 0 when the file itself could not be opened.
struct ReviewReadError {
    QString fileName;
    std::int64_t line = 0;
    QString reason;
    /// The message for people, naming the file and the line, in the tool's English words:
    /// "FILE, line N: REASON" (or "FILE: REASON").
    QString text() const;
};

/// Options of reading a run.
struct ReviewReadOptions {
    /// Seconds between records for a run without a time column (the recording speed is not in
    /// the file). Default: 0.1 s, the form's default speed " 10 / s.".
    double periodSeconds = 0.1;
};

/// Names of the five chart series in the order of ChartValues, as the header writes them:
/// "Canal 1".."Canal 4", "Sum".
QString reviewSeriesHeader(int series);
/// Short names of the five series, as the tool's --series option takes them: "s1".."s4", "sum".
QString reviewSeriesKey(int series);

/// One run loaded for review.
struct ReviewRecording {
    QString fileName;
    RecordColumns columns;
    /// Which of the five chart series the run holds (ChartValues order: channels 1..4, then sum);
    /// the others are NaN in the store.
    std::array<bool, kChartSeriesCount> present{};
    ReviewTimeBase timeBase = ReviewTimeBase::RecordPeriod;
    double periodSeconds = 0.1; ///< used for RecordPeriod
    /// Index of the run in the file's list (0 = newest) and how many runs the file holds.
    int runIndex = 0;
    int runCount = 0;
    std::int64_t headerLine = 0;
    /// Date of the first row when the run has a date column (invalid otherwise).
    QDate firstDate;
    /// The rows, x as told by timeBase; no age limit. Gaps ("---", "NAN", "INF") are NaN.
    std::unique_ptr<ChartData> data;
    /// Decimal separator the values were written with ('.' or ',').
    char decimalSeparator = '.';
    /// Most decimals a value of the run was written with (used when exporting).
    int decimals = 0;
    /// Data lines that could not be read and were skipped; the first of them (0 when none).
    std::int64_t damagedLines = 0;
    std::int64_t firstDamagedLine = 0;
    /// A last line cut off without its line end (a recording that was interrupted): skipped.
    std::int64_t tornLines = 0;

    /// The recorded clock reading of row `row` as a local date-time (ClockTime and TimeOfDay;
    /// TimeOfDay gives the date 1970-01-01 plus the days passed). Invalid for RecordPeriod.
    QDateTime clockAt(std::size_t row) const;
};

/// Result of a read: the recording, or the error.
struct ReviewReadResult {
    std::optional<ReviewRecording> recording;
    std::optional<ReviewReadError> error;
    /// The file's runs, newest first (filled whenever the header of the first line was read).
    std::vector<RecordingRun> runs;
};

/// The runs of `bytes` (a whole file), newest first. The first line must be a header written by
/// the recorder, otherwise the error names line 1.
ReviewReadResult scanRecordingRuns(QByteArrayView bytes, const QString& fileName = {});

/// Reads run `runIndex` (0 = newest) of `bytes`. Unreadable data lines are skipped and counted;
/// a run with no readable line, or a file whose first line is not a recorder header, gives an
/// error naming the line.
ReviewReadResult readRecording(QByteArrayView bytes, int runIndex = 0, const ReviewReadOptions& options = {},
                               const QString& fileName = {});

/// Maps the file and reads run `runIndex` (0 = newest). Blocking: call it off the window's thread.
ReviewReadResult openRecording(const QString& fileName, int runIndex = 0, const ReviewReadOptions& options = {});

/// Parses one header line (without its line end); nothing when it is not a recorder header.
std::optional<RecordColumns> parseRecordHeader(QByteArrayView line);

} // namespace qmx::recording
