#include "WatchCommand.h"

#include "CliSession.h"

#include <QElapsedTimer>

#include <cstdio>

namespace qmx::cli {

namespace {
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
    QElapsedTimer clock;
    clock.start();
    long lines = 0;
    std::fputs((watchHeader() + u'\n').toUtf8().constData(), stdout);
    session.link().setMeasurementObserver([&](const link::TMeasurement& m) {
        if (options.count && lines >= *options.count) {
            return;
        }
        ++lines;
        std::fputs((watchLine(static_cast<double>(clock.nsecsElapsed()) / 1e9, m) + u'\n').toUtf8().constData(),
                   stdout);
        std::fflush(stdout); // every line is out even when the tool is interrupted
    });
    // Ask for measurements at once instead of waiting for the first tick of the poll timer.
    session.link().ZylTimer_ReadDataTimer();
    const auto limitReached = [&] {
        if (options.count && lines >= *options.count) {
            return true;
        }
        return options.seconds && static_cast<double>(clock.elapsed()) / 1000.0 >= *options.seconds;
    };
    const auto gone = [&] { return session.linkLost() || !session.link().connected(); };
    // Without a limit the verb runs until it is interrupted or the link is lost.
    while (!limitReached()) {
        runUntil([&] { return limitReached() || gone(); }, 1000);
        if (gone()) {
            std::fflush(stdout);
            if (!session.linkLost()) { // a lost link has told the user already
                std::fputs("qmx80net-cli: the transducer went away\n", stderr);
            }
            session.link().setMeasurementObserver({});
            return 3;
        }
    }
    std::fflush(stdout);
    session.link().setMeasurementObserver({});
    return 0;
}

} // namespace qmx::cli
