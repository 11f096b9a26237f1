#pragma once
// The "watch" verb: prints every measurement report as it arrives, one line each, as tab- or
// comma-separated text with a header, or as one JSON object a line.

#include "link/Measurement.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <variant>

namespace qmx::cli {

class CliSession;

/// How watch writes its lines.
enum class WatchFormat { Tsv, Csv, Json };

/// Options of the watch verb.
struct WatchOptions {
    std::optional<long> count;     ///< stop after this many lines
    std::optional<double> seconds; ///< stop after this many seconds
    WatchFormat format = WatchFormat::Tsv;
    int decimals = 1;         ///< places of the values, as the program's readouts; a new preferences file's default
    bool statusWords = false; ///< channel statuses as words instead of their numeric codes
};

/// What shapes a line besides the measurement: the options and the unit the transducer is set to.
struct WatchLayout {
    WatchFormat format = WatchFormat::Tsv;
    int decimals = 1;
    bool statusWords = false;
    QString unit; ///< "N", "kN", ...; empty when the transducer's unit is not known
};

/// Usage lines of the verb, for the tool's help text.
QString watchUsage();

/// The unit the transducer is set to ("kN"), from its sensor settings; empty when not known.
QString transducerUnit(const CliSession& session);

/// Reads the verb's options. Returns the options, or a usage error in plain words.
std::variant<WatchOptions, QString> parseWatchArgs(const QStringList& args);

/// The word for a channel status code ("stable", "overloaded", ...); "unknown-N" for a code the
/// program does not know.
QString statusWord(std::uint8_t status);

/// The header line of the watch output; empty for JSON, whose lines name every field.
QString watchHeader(const WatchLayout& layout = {});
/// One watch line: seconds since the start, sum, four values, four statuses, IN and OUT bits.
/// Values are rounded to the layout's decimals as the program's readouts are (no float noise).
QString watchLine(double seconds, const link::Measurement& m, const WatchLayout& layout = {});

/// Runs the verb on a connected session; returns the exit code.
int runWatch(CliSession& session, const WatchOptions& options);

} // namespace qmx::cli
