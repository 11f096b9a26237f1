#pragma once
// The "record" verb: records measurements to a CSV file in exactly the program's format, for
// unattended recording on a machine without a desktop. Ctrl-C (SIGINT), SIGTERM or SIGHUP ends the
// run cleanly, with every line on disk.

#include "ExitCodes.h"

#include "CliSession.h"
#include "PublishCommand.h"
#include "recording/recorder/Recorder.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <variant>

namespace qmx::link {
class HidBackend;
}

namespace qmx::cli {

class CliSession;

/// Options of the record verb. Defaults are those of a new preferences file.
struct RecordArgs {
    QString out;                                                 ///< --out FILE (this or --dir required)
    /// --dir DIR: files named by their start time in DIR; recording goes on through a lost link
    /// and a full disk (the unattended logger).
    QString dir;
    recording::RotationPolicy rotation; ///< --rotate hourly|daily|SIZE (with --dir)
    /// --reconnect: wait for the transducer after a lost link instead of ending with exit 3; on
    /// with --dir.
    bool reconnect = false;
    int speed = 0;                                               ///< --speed INDEX 0..6 or PERIOD
    recording::RecordMode mode = recording::RecordMode::Continuous; ///< --mode
    recording::RecordColumns columns;                            ///< --columns date,time,count,sum,s1..s4
    int decimals = 1;                                            ///< --decimals N, 0..4
    std::optional<double> seconds;                               ///< --seconds S; none: until interrupted
    /// --follow-symlinks: write through a symbolic link named by --out. Without it such a link is
    /// refused, so a link planted where the tool (perhaps run as root) writes cannot redirect it.
    bool followSymlinks = false;
    OptionalPublishArgs publish; ///< --publish and the options of the publish verb
};

/// Milliseconds between checks for free space while writing waits for a full disk.
inline constexpr int kSpaceCheckMs = 10'000;
/// Free bytes in the folder above which writing is tried again after a full disk.
inline constexpr std::int64_t kResumeFreeBytes = 1024 * 1024;

/// What a run uses from its surroundings; tests replace the clock, the disk and the wait.
struct RecordHooks {
    recording::Recorder::Clock clock;          ///< time of each line; the local clock when empty
    recording::RecordFile::WriteFunction write; ///< the system's write when empty
    /// Free bytes for an unprivileged user in a folder; statvfs when empty.
    std::function<std::int64_t(const QString& dir)> freeBytes;
    int spaceCheckMs = kSpaceCheckMs;
};

/// Usage lines of the verb, for the tool's help text.
QString recordUsage();

/// The speed index whose period between records is `text` ("0.1s", "100ms", "1min"); nothing when
/// the text is not a period or no speed has that period.
std::optional<int> speedIndexForPeriod(const QString& text);
/// The periods --speed accepts, by speed index ("0.01s, 0.02s, ...").
QString acceptedSpeedPeriods();

/// The progress line shown on a terminal while recording: lines, file size and elapsed time.
QString recordProgressText(std::int64_t lines, qint64 fileBytes, qint64 elapsedMs);
/// The summary printed when a recording ends well.
QString recordSummaryText(const QString& fileName, std::int64_t lines, qint64 fileBytes, qint64 elapsedMs);

/// Reads the verb's options. Returns the options, or a usage error in plain words.
std::variant<RecordArgs, QString> parseRecordArgs(const QStringList& args);

/// Records on a connected session until --seconds passed, the tool is interrupted, the transducer
/// goes away (exit 3, unless reconnecting) or the file fails (exit 74). With --dir a failed write
/// (a full disk) stops writing, says so on standard error, keeps reading and resumes in a new file
/// once kResumeFreeBytes are free; with --reconnect or --dir a lost link is waited out and the
/// lines simply go on after the gap. A --out that exists and is not a regular file
/// (or is a symbolic link without --follow-symlinks) is refused with exit 74 before recording
/// starts. While it runs and standard error is a terminal, a progress line there is refreshed a few
/// times a second; a run that ends well prints a summary on standard error. Returns the exit code.
int runRecord(CliSession& session, const RecordArgs& args, const RecordHooks& hooks = {});
/// Parses `args` (exit 64 on a usage error) and records on a connected session.
int runRecord(CliSession& session, const QStringList& args);
/// The whole verb: parses `args`, connects to the transducer (exit 2 when none answers) and records.
int runRecordVerb(link::HidBackend& backend, const QStringList& args, const SessionLimits& limits = {});

} // namespace qmx::cli
