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
#include <optional>
#include <variant>

namespace qmx::link {
class HidBackend;
}

namespace qmx::cli {

class CliSession;

/// Options of the record verb. Defaults are those of a new preferences file.
struct RecordArgs {
    QString out;                                                 ///< --out FILE (required)
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
/// goes away (exit 3) or the file fails (exit 74). A --out that exists and is not a regular file
/// (or is a symbolic link without --follow-symlinks) is refused with exit 74 before recording
/// starts. While it runs and standard error is a terminal, a progress line there is refreshed a few
/// times a second; a run that ends well prints a summary on standard error. Returns the exit code.
int runRecord(CliSession& session, const RecordArgs& args);
/// Parses `args` (exit 64 on a usage error) and records on a connected session.
int runRecord(CliSession& session, const QStringList& args);
/// The whole verb: parses `args`, connects to the transducer (exit 2 when none answers) and records.
int runRecordVerb(link::HidBackend& backend, const QStringList& args, const SessionLimits& limits = {});

} // namespace qmx::cli
