#pragma once
// When an unattended recording starts a new file, and what the files are called. Pure functions
// over dates, sizes and texts: the recorder asks them at each line, the tests without any file.

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>

namespace qmx::recording {

/// How often a recording switches to a new file.
struct RotationPolicy {
    enum class Kind { None, Hourly, Daily, Size };
    Kind kind = Kind::None;
    /// For Kind::Size: a file ends before the line that would take it past this many bytes.
    std::int64_t maxBytes = 0;

    friend bool operator==(const RotationPolicy&, const RotationPolicy&) = default;
};

/// Reads "hourly", "daily" or a size: a whole number of bytes with an optional K, M or G (powers
/// of 1024; "100M", "1G", "65536"). Returns nothing for any other text or a size under 1 KiB.
std::optional<RotationPolicy> parseRotation(const QString& text);

/// The start of the period after the one holding `fileStart`: the next full hour or the next
/// local midnight. Nothing for policies that do not rotate by time.
std::optional<QDateTime> nextRotationTime(const RotationPolicy& policy, const QDateTime& fileStart);

/// Whether the line stamped `lineTime`, `lineBytes` long, goes to a new file rather than the one
/// started at `fileStart` that holds `fileBytes` bytes and `fileLines` lines of values. A file
/// with no line of values yet never switches, so every file holds at least one.
bool startsNewFile(const RotationPolicy& policy, const QDateTime& fileStart, std::int64_t fileBytes,
                   std::int64_t fileLines, const QDateTime& lineTime, std::int64_t lineBytes);

/// The file name of a recording that starts at `start` (local time, to the second):
/// "qmx80net-YYYY-MM-DD_HH-MM-SS.csv"; `clash` > 0 adds "-<clash>" for a second file started in
/// the same second.
QString rotatedFileName(const QDateTime& start, int clash = 0);

} // namespace qmx::recording
