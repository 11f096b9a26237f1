// CPU used by the command-line tool while it waits for measurements: the tool's own verbs (watch
// printing every report, record writing a CSV file at the fastest speed) run in this process on
// the virtual transducer streaming at 100 and 1000 reports a second, for a wall-clock while each.
// Prints the CPU seconds per second of the tool's thread (its event loop, the printing, the
// recorder) and of the whole process (also the device's reader thread and the virtual
// transducer's own pump thread, which a real transducer does not need).
//
//   qmx_bench_tool_cpu [seconds-per-run]

#include "cli/CliSession.h"
#include "cli/RecordCommand.h"
#include "cli/WatchCommand.h"
#include "sim/SimBackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

double seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct CpuShare {
    double thread = 0; ///< CPU seconds per second, the tool's thread alone
    double process = 0; ///< CPU seconds per second, every thread of the process
};

/// Runs `verb` with standard output sent to /dev/null and measures the CPU it takes.
CpuShare measure(const std::function<int()>& verb)
{
    std::fflush(stdout);
    const int savedOut = ::dup(STDOUT_FILENO);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    ::dup2(devNull, STDOUT_FILENO);
    ::close(devNull);

    const double threadStart = cpuSeconds(RUSAGE_THREAD);
    const double processStart = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer clock;
    clock.start();
    const int code = verb();
    const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    const CpuShare share{(cpuSeconds(RUSAGE_THREAD) - threadStart) / wall,
                         (cpuSeconds(RUSAGE_SELF) - processStart) / wall};

    std::fflush(stdout);
    ::dup2(savedOut, STDOUT_FILENO);
    ::close(savedOut);
    if (code != 0) {
        std::fprintf(stderr, "the verb ended with exit code %d\n", code);
        std::exit(1);
    }
    return share;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const double runSeconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    QTemporaryDir dir;

    std::printf("%-8s %-10s %14s %14s\n", "verb", "reports/s", "tool thread", "whole process");
    for (const double rate : {100.0, 1000.0}) {
        qmx::sim::SimBackend sim(qmx::sim::SimBackend::Clock::RealTime);
        sim.transducer().setStreamRate(rate);
        qmx::cli::CliSession session(sim);
        if (session.connect() != qmx::cli::SessionError::None) {
            std::fprintf(stderr, "no connection to the virtual transducer\n");
            return 1;
        }
        const CpuShare watch = measure([&] {
            qmx::cli::WatchOptions options;
            options.seconds = runSeconds;
            return qmx::cli::runWatch(session, options);
        });
        std::printf("%-8s %-10.0f %13.1f%% %13.1f%%\n", "watch", rate, watch.thread * 100, watch.process * 100);
        const CpuShare record = measure([&] {
            // The tool's own defaults (columns, decimals), at the fastest speed.
            return qmx::cli::runRecord(session, QStringList{QStringLiteral("--out"), dir.filePath(QStringLiteral("bench.csv")),
                                                            QStringLiteral("--speed"), QStringLiteral("0"),
                                                            QStringLiteral("--seconds"), QString::number(runSeconds)});
        });
        std::printf("%-8s %-10.0f %13.1f%% %13.1f%%\n", "record", rate, record.thread * 100, record.process * 100);
        std::fflush(stdout);
    }
    std::printf("(percent of one core; %.0f s per run)\n", runSeconds);
    return 0;
}
