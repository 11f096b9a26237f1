#include "WatchCommand.h"

#include "CliSession.h"
#include "StandardOutput.h"

#include "app/ShutdownSignals.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace qmx::cli {

namespace {

/// How long one wait of the verb's loop may last: up to a second, and no longer than is left of a
/// time limit, so the limit is kept even when no report arrives.
int waitSlice(const QElapsedTimer& clock, const std::optional<double>& seconds)
{
    constexpr qint64 kSliceMs = 1000;
    if (!seconds) {
        return static_cast<int>(kSliceMs);
    }
    const auto limitMs = static_cast<qint64>(std::ceil(*seconds * 1000.0));
    return static_cast<int>(std::clamp<qint64>(limitMs - clock.elapsed(), 0, kSliceMs));
}

QString number(float v)
{
    // Shortest text that reads back as the same float; a point as decimal mark, for scripts.
    return QString::number(static_cast<double>(v), 'g', 9);
}
} // namespace

QString watchHeader()
{
    return QStringLiteral("time_s\tsum\ts1\ts2\ts3\ts4\tstatus1\tstatus2\tstatus3\tstatus4\tin1\tin2\tout1\tout2");
}

QString watchLine(double seconds, const link::TMeasurement& m)
{
    QStringList f;
    f << QString::number(seconds, 'f', 3) << number(m.SumValue);
    for (float v : m.ChannelValue) {
        f << number(v);
    }
    for (auto s : m.ChannelStatus) {
        f << QString::number(s);
    }
    f << QString::number(m.InputState & 1) << QString::number((m.InputState >> 1) & 1)
      << QString::number(m.OutputState & 1) << QString::number((m.OutputState >> 1) & 1);
    return f.join(u'\t');
}

int runWatch(CliSession& session, const WatchOptions& options)
{
    // SIGINT and SIGTERM end the verb as its limits do: every line printed so far is out, exit 0.
    const app::ShutdownSignals shutdownSignals;
    QElapsedTimer clock;
    clock.start();
    long lines = 0;
    writeStandardOutput((watchHeader() + u'\n').toUtf8());
    session.link().setMeasurementObserver([&](const link::TMeasurement& m) {
        if (options.count && lines >= *options.count) {
            return;
        }
        ++lines;
        // Flushed line by line: every line is out even when the tool is interrupted.
        writeStandardOutput((watchLine(static_cast<double>(clock.nsecsElapsed()) / 1e9, m) + u'\n').toUtf8());
    });
    // Ask for measurements at once instead of waiting for the first tick of the poll timer.
    session.link().ZylTimer_ReadDataTimer();
    const auto done = [&] {
        if (shutdownSignals.requested() || standardOutputFailed()) {
            return true;
        }
        if (options.count && lines >= *options.count) {
            return true;
        }
        return options.seconds && static_cast<double>(clock.elapsed()) / 1000.0 >= *options.seconds;
    };
    const auto gone = [&] { return session.linkLost() || !session.link().connected(); };
    // Without a limit the verb runs until it is interrupted or the link is lost.
    while (!done()) {
        runUntil([&] { return done() || gone(); }, waitSlice(clock, options.seconds));
        if (gone()) {
            std::fflush(stdout);
            if (!session.linkLost()) { // a lost link has told the user already
                std::fputs("qmx80net-cli: the transducer went away\n", stderr);
            }
            session.link().setMeasurementObserver({});
            return 3;
        }
    }
    session.link().setMeasurementObserver({});
    return standardOutputFailed() ? kExitWriteError : 0;
}

} // namespace qmx::cli
