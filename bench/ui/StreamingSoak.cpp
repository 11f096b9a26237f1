// End-to-end soak: the virtual transducer streams measurement reports at 1000 per second (ten times
// the device's rate) through the real reader thread and hand-off into the real main window for a
// wall-clock minute. Prints whether every report was counted, the largest gap between display
// ticks, and the CPU time used per second of streaming.
//
//   qmx_soak_streaming [seconds] [reports-per-second]

#include "link/LinkController.h"
#include "sim/SimBackend.h"
#include "ui/MainWindow.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

/// Runs the event loop for `ms` milliseconds, sleeping while there is nothing to do.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const double rate = argc > 2 ? std::atof(argv[2]) : 1000.0;

    qmx::sim::SimBackend sim(qmx::sim::SimBackend::Clock::RealTime);
    sim.transducer().setStreamRate(rate);
    qmx::ui::MainWindow window(sim);
    qmx::ui::LargeReadoutWindow big;
    window.attachWindows({nullptr, nullptr, nullptr, &big, nullptr});
    window.show();
    window.fpsTimer.stop(); // the soak counts the frames itself

    long long counted = 0;
    QTimer counter;
    QObject::connect(&counter, &QTimer::timeout, [&] { counted += window.link().takeFrameCount(); });
    counter.start(200);

    QElapsedTimer sinceTick;
    qint64 largestGapNs = 0;
    long ticks = 0;
    QObject::connect(&window.displayTimer, &QTimer::timeout, [&] {
        if (sinceTick.isValid() && ticks > 40) { // the first second includes start-up
            largestGapNs = std::max(largestGapNs, sinceTick.nsecsElapsed());
        }
        sinceTick.restart();
        ++ticks;
    });

    // Wait for the start-up exchange, then stream for the given time.
    QElapsedTimer clock;
    clock.start();
    while (!window.link().pollTimer().isEnabled() && clock.elapsed() < 5000) {
        runFor(10);
    }
    const double cpuStart = cpuSeconds();
    const std::uint64_t queuedStart = sim.transducer().measurementReportsQueued();
    const long long countedStart = counted + window.link().takeFrameCount();
    clock.restart();
    runFor(seconds * 1000);
    const double streamedSeconds = static_cast<double>(clock.elapsed()) / 1000.0;
    const double cpu = cpuSeconds() - cpuStart;

    // Stop polling and let the stream run out, then compare the counts.
    window.link().pollTimer().stop();
    runFor(3000);
    counted += window.link().takeFrameCount();
    const std::uint64_t sent = sim.transducer().measurementReportsQueued() - queuedStart;
    const std::uint64_t lost = sim.transducer().overflowedInputReports();
    const long long received = counted - countedStart;

    std::printf("streamed %.1f s at %.0f reports/s\n", streamedSeconds, rate);
    std::printf("reports sent %llu, counted %lld, lost in the device queue %llu -> %s\n",
                static_cast<unsigned long long>(sent), received, static_cast<unsigned long long>(lost),
                static_cast<long long>(sent) == received ? "every report counted" : "MISMATCH");
    std::printf("display ticks %ld, largest gap between ticks %.1f ms\n", ticks, static_cast<double>(largestGapNs) / 1e6);
    std::printf("CPU time %.3f s per second of streaming (both cores together)\n", cpu / streamedSeconds);
    return static_cast<long long>(sent) == received ? 0 : 1;
}
