#include "ReviewCommand.h"

#include "ExitCodes.h"
#include "StandardOutput.h"

#include "recording/review/RecordingReader.h"
#include "recording/review/ReviewReport.h"
#include "recording/review/ReviewStatistics.h"

#include <QFileInfo>
#include <QTime>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace qmx::cli {

namespace {

using recording::ReviewRecording;

/// The options both verbs share, read from the command line.
struct ReviewArgs {
    QString file;
    QString out;
    int run = 1; // 1 = newest
    std::optional<QString> from;
    std::optional<QString> to;
    std::array<bool, recording::kChartSeriesCount> series{};
    bool seriesGiven = false;
    double period = 0.1;
    QString unit;
};

std::optional<ReviewArgs> parseArgs(const QStringList& argsIn, bool plot, QString& error)
{
    ReviewArgs a;
    QStringList args = argsIn;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("%1 needs a value").arg(arg);
                return std::nullopt;
            }
            return args.at(++i);
        };
        if (arg == QLatin1String("--run")) {
            const auto v = value();
            bool ok = false;
            a.run = v ? v->toInt(&ok) : 0;
            if (!ok || a.run < 1) {
                error = QStringLiteral("--run expects a run number from 1 (the newest)");
                return std::nullopt;
            }
        } else if (arg == QLatin1String("--from") || arg == QLatin1String("--to")) {
            const auto v = value();
            if (!v) {
                return std::nullopt;
            }
            (arg == QLatin1String("--from") ? a.from : a.to) = *v;
        } else if (arg == QLatin1String("--period")) {
            const auto v = value();
            bool ok = false;
            a.period = v ? v->toDouble(&ok) : 0.0;
            if (!ok || !(a.period > 0.0)) {
                error = QStringLiteral("--period expects seconds above 0");
                return std::nullopt;
            }
        } else if (plot && arg == QLatin1String("--out")) {
            const auto v = value();
            if (!v) {
                return std::nullopt;
            }
            a.out = *v;
        } else if (plot && arg == QLatin1String("--unit")) {
            const auto v = value();
            if (!v) {
                return std::nullopt;
            }
            a.unit = *v;
        } else if (plot && arg == QLatin1String("--series")) {
            const auto v = value();
            if (!v) {
                return std::nullopt;
            }
            a.seriesGiven = true;
            for (const QString& key : v->split(u',')) {
                int found = -1;
                for (int s = 0; s < recording::kChartSeriesCount; ++s) {
                    if (key == recording::reviewSeriesKey(s)) {
                        found = s;
                    }
                }
                if (found < 0) {
                    error = QStringLiteral("--series expects a list of s1, s2, s3, s4 and sum");
                    return std::nullopt;
                }
                a.series[static_cast<std::size_t>(found)] = true;
            }
        } else if (arg.startsWith(QLatin1String("--")) || !a.file.isEmpty()) {
            error = QStringLiteral("unexpected argument '%1'").arg(arg);
            return std::nullopt;
        } else {
            a.file = arg;
        }
    }
    if (a.file.isEmpty()) {
        error = QStringLiteral("expected a recording FILE");
        return std::nullopt;
    }
    if (plot && a.out.isEmpty()) {
        error = QStringLiteral("expected --out REPORT.pdf|png|svg");
        return std::nullopt;
    }
    if (plot && !recording::reportFormatForFileName(a.out)) {
        error = QStringLiteral("the report's name must end in .pdf, .png or .svg");
        return std::nullopt;
    }
    return a;
}

/// Loads the run and works out the x range; prints the error and returns the exit code otherwise.
struct Loaded {
    std::optional<ReviewRecording> recording;
    double fromX = 0.0;
    double toX = 0.0;
    int exitCode = kExitDone;
};

Loaded load(const ReviewArgs& a)
{
    Loaded l;
    if (!QFileInfo(a.file).isFile()) {
        printError(QStringLiteral("%1: not a readable file").arg(a.file));
        l.exitCode = kExitFileError;
        return l;
    }
    recording::ReviewReadResult r = recording::openRecording(a.file, a.run - 1, recording::ReviewReadOptions{a.period});
    if (r.error) {
        printError(r.error->text());
        l.exitCode = r.error->line == 0 && r.runs.empty() && !r.error->reason.startsWith(QLatin1String("the file"))
                         ? kExitFileError
                         : kExitDataError;
        return l;
    }
    const ReviewRecording& rec = *r.recording;
    if (rec.damagedLines > 0 || rec.tornLines > 0) {
        printError(QStringLiteral("%1: %2 damaged lines skipped (the first is line %3), %4 cut-off last line skipped")
                       .arg(a.file)
                       .arg(rec.damagedLines)
                       .arg(rec.firstDamagedLine)
                       .arg(rec.tornLines));
    }
    l.fromX = rec.data->x(0);
    l.toX = rec.data->x(rec.data->size() - 1);
    for (const auto& [text, target] : {std::pair{a.from, &l.fromX}, std::pair{a.to, &l.toX}}) {
        if (!text) {
            continue;
        }
        const auto x = reviewTimeArgument(rec, *text);
        if (!x) {
            printError(QStringLiteral("'%1' is neither seconds from the run's start nor a clock time H:MM:SS "
                                      "of a run with a time column")
                           .arg(*text));
            l.exitCode = kExitUsage;
            return l;
        }
        *target = *x;
    }
    l.recording = std::move(r.recording);
    return l;
}

QString number(double v) { return QString::number(v, 'g', 9); }

/// A recorded value as the shortest text that reads back as the same float: the file's "321.9"
/// stays "321.9" instead of showing the float's binary noise (321.899994).
QString recordedValue(double v)
{
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), static_cast<float>(v));
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(result.ptr - text.data()));
}

/// The difference of two recorded values, rounded to the decimals they were written with and
/// without trailing zeros (0.1 rather than 0.100006104 or 0.1000).
QString differenceText(double v, int decimals)
{
    QString text = QString::number(v, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) {
            text.chop(1);
        }
        if (text.endsWith(u'.')) {
            text.chop(1);
        }
    }
    return text;
}

} // namespace

QString reviewUsage()
{
    return QStringLiteral(
        "  stats FILE [--run N] [--from T --to T] [--period S]\n"
        "          print min, max, mean, standard deviation, peak-to-peak and the number of points of\n"
        "          each series of a recording as TSV; run 1 is the newest run of the file; T is\n"
        "          seconds from the run's start or a clock time H:MM:SS[.mmm]; S is the recording\n"
        "          period for files without a time column (default 0.1)\n"
        "  plot FILE --out REPORT.pdf|png|svg [--run N] [--from T --to T] [--series s1,s2,s3,s4,sum]\n"
        "         [--period S] [--unit TEXT]\n"
        "          draw the recording's chart with a header and the statistics table, without a window\n");
}

std::optional<double> reviewTimeArgument(const ReviewRecording& rec, const QString& text)
{
    const double first = rec.data && !rec.data->empty() ? rec.data->x(0) : 0.0;
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (ok && std::isfinite(seconds)) {
        return first + seconds;
    }
    if (rec.timeBase == recording::ReviewTimeBase::RecordPeriod) {
        return std::nullopt;
    }
    QTime t = QTime::fromString(text, QStringLiteral("H:mm:ss.zzz"));
    if (!t.isValid()) {
        t = QTime::fromString(text, QStringLiteral("H:mm:ss"));
    }
    if (!t.isValid()) {
        return std::nullopt;
    }
    const double day = std::floor(first / 86400.0) * 86400.0;
    double x = day + t.msecsSinceStartOfDay() / 1000.0;
    if (x < first) {
        x += 86400.0;
    }
    return x;
}

int runStatsVerb(const QStringList& args)
{
    QString error;
    const auto a = parseArgs(args, false, error);
    if (!a) {
        printError(QStringLiteral("stats: ") + error);
        return kExitUsage;
    }
    const Loaded l = load(*a);
    if (l.exitCode != kExitDone) {
        return l.exitCode;
    }
    QString out = QStringLiteral("series\tpoints\tmin\tmax\tmean\tstddev\tpeak_to_peak\n");
    for (int s = 0; s < recording::kChartSeriesCount; ++s) {
        if (!l.recording->present[static_cast<std::size_t>(s)]) {
            continue;
        }
        const auto st = recording::seriesStatisticsBetween(*l.recording->data, s, l.fromX, l.toX);
        out += recording::reviewSeriesKey(s) + u'\t' + QString::number(st.count);
        if (st.empty()) {
            out += QStringLiteral("\t\t\t\t\t");
        } else {
            // Extremes as recorded, their difference to the recording's decimals; mean and spread
            // are computed, so they keep nine significant digits.
            out += u'\t' + recordedValue(st.min) + u'\t' + recordedValue(st.max) + u'\t' + number(st.mean) + u'\t' +
                   number(st.stdDev) + u'\t' + differenceText(st.peakToPeak, l.recording->decimals);
        }
        out += u'\n';
    }
    writeStandardOutput(out.toUtf8());
    return kExitDone;
}

int runPlotVerb(const QStringList& args)
{
    QString error;
    const auto a = parseArgs(args, true, error);
    if (!a) {
        printError(QStringLiteral("plot: ") + error);
        return kExitUsage;
    }
    const Loaded l = load(*a);
    if (l.exitCode != kExitDone) {
        return l.exitCode;
    }
    const ReviewRecording& rec = *l.recording;
    recording::ReportRequest request;
    request.data = rec.data.get();
    for (int s = 0; s < recording::kChartSeriesCount; ++s) {
        const auto i = static_cast<std::size_t>(s);
        request.series[i] = rec.present[i] && (!a->seriesGiven || a->series[i]);
    }
    request.fromX = l.fromX;
    request.toX = l.toX;
    request.timeBase = rec.timeBase;
    request.source = QFileInfo(a->file).fileName() +
                     (rec.runCount > 1 ? QStringLiteral(" (run %1 of %2)").arg(a->run).arg(rec.runCount) : QString());
    request.date = rec.clockAt(rec.data->lowerBound(l.fromX));
    request.unit = a->unit;
    if (const auto failed = recording::writeReport(request, a->out, *recording::reportFormatForFileName(a->out))) {
        printError(*failed);
        return kExitFileError;
    }
    return kExitDone;
}

} // namespace qmx::cli
