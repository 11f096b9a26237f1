#pragma once
// The "stats" and "plot" verbs: statistics of a recording as TSV, and a report picture (PNG, SVG or
// PDF) of a recording without a window. Neither talks to a transducer.

#include <QString>
#include <QStringList>

#include <optional>

namespace qmx::recording {
struct ReviewRecording;
}

namespace qmx::cli {

/// Usage lines of both verbs, for the tool's help text.
QString reviewUsage();

/// `stats FILE [--run N] [--from T --to T] [--period S]`: one TSV line per series of the run.
int runStatsVerb(const QStringList& args);

/// `plot FILE --out REPORT.pdf|png|svg [--run N] [--from T --to T] [--series s1,..,sum] [--period S]
/// [--unit TEXT]`. Needs a QGuiApplication (the offscreen platform is enough).
int runPlotVerb(const QStringList& args);

/// x of a --from/--to value in `recording`: a number is seconds from the run's first row; a clock
/// time "H:MM:SS[.mmm]" is the first such time at or after the run's first row (runs with a time
/// column only). Nothing when the text is neither.
std::optional<double> reviewTimeArgument(const recording::ReviewRecording& recording, const QString& text);

} // namespace qmx::cli
