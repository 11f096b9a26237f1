// The recorder per measurement frame: idle (no run), and recording every frame with all columns.

#include "recording/recorder/Recorder.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace qmx;

namespace {

link::Measurement sampleFrame(int i)
{
    link::Measurement m;
    m.InputState = (i & 64) ? 0x02 : 0x00;
    m.SumValue = 1234.5678F + static_cast<float>(i % 100);
    m.ChannelValue = {312.25F, -0.125F, 45.0F, 877.0625F};
    return m;
}

recording::RecordOptions allColumnsFastest(const QString& fileName)
{
    recording::RecordOptions o;
    o.speedIndex = 0;
    o.columns = recording::RecordColumns{true, true, true, true, {true, true, true, true}};
    o.fileName = fileName;
    return o;
}

// The step every measurement report pays while the recording switch is off.
void BM_FrameWhileNotRecording(benchmark::State& state)
{
    recording::Recorder recorder(display::NumberLocale::c());
    const link::Measurement m = sampleFrame(0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(recorder.recordMeasurement(m));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FrameWhileNotRecording);

// One line per frame, all eight columns, the computer's clock, and every 100 lines (the one-second
// timer at 100 frames a second) a flush that waits until the writer thread has them on the disk,
// so the whole way to the disk is timed. Items per second = lines per second.
void BM_RecordEveryFrameAllColumns(benchmark::State& state)
{
    QTemporaryDir dir;
    recording::Recorder recorder(display::NumberLocale::c());
    recorder.setDecimalsSource([] { return 2; });
    recorder.setOptions(allColumnsFastest(dir.filePath(QStringLiteral("bench.csv"))));
    recorder.beginRun();
    int i = 0;
    for (auto _ : state) {
        const auto outcome = recorder.recordMeasurement(sampleFrame(i));
        if (outcome.error) {
            state.SkipWithError("file error");
            break;
        }
        if (++i % 100 == 0 && recorder.flushAndWait()) {
            state.SkipWithError("flush error");
            break;
        }
    }
    recorder.endRun();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordEveryFrameAllColumns)->UseRealTime();

// The once-a-second flush as the window's timer runs it, on a disk whose sync takes 200 ms: the
// time is what the flush call costs the thread that calls it (the user-interface thread), one
// second of lines (100, all columns) per call. The sync runs on the file's writer thread.
void BM_FlushWhileTheDiskSyncsFor200ms(benchmark::State& state)
{
    QTemporaryDir dir;
    recording::Recorder recorder(display::NumberLocale::c());
    recorder.setDecimalsSource([] { return 2; });
    recorder.setSyncFunction([](int) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return 0;
    });
    recorder.setOptions(allColumnsFastest(dir.filePath(QStringLiteral("slow.csv"))));
    recorder.beginRun();
    int i = 0;
    double worst = 0.0;
    for (auto _ : state) {
        for (int line = 0; line < 100; ++line) {
            recorder.recordMeasurement(sampleFrame(i++));
        }
        const auto start = std::chrono::steady_clock::now();
        const auto error = recorder.flush();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (error) {
            state.SkipWithError("flush error");
            break;
        }
        state.SetIterationTime(seconds);
        worst = std::max(worst, seconds);
    }
    state.counters["worst_flush_us"] = worst * 1e6;
    // Clearing the window's switch leaves the last write and sync to the writer thread...
    auto start = std::chrono::steady_clock::now();
    recorder.endRunInBackground();
    state.counters["switch_cleared_us"] =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    // ...and the file is closed once they are done (the tool's end of run waits like this).
    start = std::chrono::steady_clock::now();
    recorder.waitForClosedFiles();
    state.counters["file_closed_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}
BENCHMARK(BM_FlushWhileTheDiskSyncsFor200ms)->UseManualTime()->Iterations(20)->Unit(benchmark::kMicrosecond);

// The same without the disk: building the bytes of one line.
void BM_BuildRecordLine(benchmark::State& state)
{
    const recording::RecordColumns all{true, true, true, true, {true, true, true, true}};
    recording::RecordValues v;
    v.stamp = QDateTime::currentDateTime();
    v.sum = 1234.5678F;
    v.sensor = {312.25F, -0.125F, 45.0F, 877.0625F};
    v.decimals = 2;
    for (auto _ : state) {
        ++v.number;
        benchmark::DoNotOptimize(recording::buildRecordLine(all, v, false, display::NumberLocale::c()));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildRecordLine);

} // namespace

BENCHMARK_MAIN();
