#pragma once
// The "watch" verb: prints every measurement report as it arrives, one tab-separated line each.

#include "link/Measurement.h"

#include <QString>

#include <optional>

namespace qmx::cli {

class CliSession;

/// Options of the watch verb.
struct WatchOptions {
    std::optional<long> count;     ///< stop after this many lines
    std::optional<double> seconds; ///< stop after this many seconds
};

/// The header line of the watch output.
QString watchHeader();
/// One watch line: seconds since the start, sum, four values, four statuses, IN and OUT bits.
QString watchLine(double seconds, const link::TMeasurement& m);

/// Runs the verb on a connected session; returns the exit code.
int runWatch(CliSession& session, const WatchOptions& options);

} // namespace qmx::cli
