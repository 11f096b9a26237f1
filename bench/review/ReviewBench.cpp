// Review of a long recording: a 10-hour, 100/s file with every column (3.6 M lines, about 250 MB)
// is written once into the temporary folder in the recorder's format; then opening it to the first
// full view (parse, store, one report painting), the store's memory per point, statistics over
// random ranges of its 18 M points, and a cursor reading. Runs on the offscreen platform.

#include "recording/review/RecordingReader.h"
#include "recording/review/ReviewReport.h"
#include "recording/review/ReviewStatistics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <random>

using namespace qmx::recording;

namespace {

constexpr int kLines = 10 * 3600 * 100;

QString benchFile()
{
    return QDir::temp().filePath(QStringLiteral("qmx_review_bench_10h_all_columns.csv"));
}

/// Writes the file once (kept for later runs): lines as the recorder writes them, clock time read
/// 10 ms apart from 9 December 2026 18:00, so the run passes midnight; values with 2 decimals.
void ensureBenchFile()
{
    const QString path = benchFile();
    if (QFileInfo(path).size() > 200'000'000) {
        return;
    }
    std::FILE* f = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!f) {
        return;
    }
    std::fputs("Date;Time;No.;Sum;Canal 1;Canal 2;Canal 3;Canal 4;\r\n", f);
    char line[256];
    std::uint32_t noise = 1;
    for (int i = 0; i < kLines; ++i) {
        const long long ms = 18LL * 3600 * 1000 + 10LL * i;
        const int day = 9 + static_cast<int>(ms / 86400000);
        const long long t = ms % 86400000;
        noise = noise * 1664525U + 1013904223U;
        const double base = 400.0 * std::sin(i * 1e-4) + static_cast<double>(noise >> 22) * 0.01;
        const double c[4] = {base + 100.0, base * 0.5 - 20.0, base * 0.25 + 7.5, -base + 3.0};
        const double sum = c[0] + c[1] + c[2] + c[3];
        const int n = std::snprintf(line, sizeof line, "%d-12-2026;%lld:%lld:%lld:%lld;%d;%.2f;%.2f;%.2f;%.2f;%.2f;\r\n",
                                    day, t / 3600000, t / 60000 % 60, t / 1000 % 60, t % 1000, i, sum, c[0], c[1],
                                    c[2], c[3]);
        std::fwrite(line, 1, static_cast<std::size_t>(n), f);
    }
    std::fclose(f);
}

/// One full view: the report painting of the whole run with all five series, 1600 x 1000.
void paintFullView(const ReviewRecording& rec)
{
    ReportRequest request;
    request.data = rec.data.get();
    request.series = rec.present;
    request.fromX = rec.data->x(0);
    request.toX = rec.data->x(rec.data->size() - 1);
    request.timeBase = rec.timeBase;
    request.source = rec.fileName;
    QImage image(request.pixelSize, QImage::Format_RGB32);
    QPainter painter(&image);
    paintReport(painter, QRectF(QPointF(0, 0), QSizeF(request.pixelSize)), request);
}

void BM_OpenToFirstFullView(benchmark::State& state)
{
    ensureBenchFile();
    for (auto _ : state) {
        const ReviewReadResult r = openRecording(benchFile());
        if (!r.recording) {
            state.SkipWithError("the file could not be read");
            return;
        }
        paintFullView(*r.recording);
        state.counters["rows"] = static_cast<double>(r.recording->data->size());
        state.counters["bytes_per_point"] =
            static_cast<double>(r.recording->data->memoryBytes()) / (5.0 * static_cast<double>(r.recording->data->size()));
    }
}
BENCHMARK(BM_OpenToFirstFullView)->Unit(benchmark::kMillisecond)->Iterations(2);

/// The same parse from a buffer read whole instead of the mapped file (the alternative measured).
void BM_ParseFromReadAllBuffer(benchmark::State& state)
{
    ensureBenchFile();
    for (auto _ : state) {
        QFile f(benchFile());
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        const ReviewReadResult r = readRecording(bytes);
        benchmark::DoNotOptimize(r.recording->data->size());
    }
}
BENCHMARK(BM_ParseFromReadAllBuffer)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ParseMapped(benchmark::State& state)
{
    ensureBenchFile();
    for (auto _ : state) {
        const ReviewReadResult r = openRecording(benchFile());
        benchmark::DoNotOptimize(r.recording->data->size());
    }
}
BENCHMARK(BM_ParseMapped)->Unit(benchmark::kMillisecond)->Iterations(1);

const ReviewRecording& loaded()
{
    static const ReviewReadResult r = [] {
        ensureBenchFile();
        return openRecording(benchFile());
    }();
    return *r.recording;
}

void BM_StatisticsRandomRangeAllSeries(benchmark::State& state)
{
    const ChartData& data = *loaded().data;
    std::mt19937_64 rng(7);
    std::uniform_int_distribution<std::size_t> pick(0, data.size());
    for (auto _ : state) {
        std::size_t a = pick(rng);
        std::size_t b = pick(rng);
        if (a > b) {
            std::swap(a, b);
        }
        for (int s = 0; s < kChartSeriesCount; ++s) {
            benchmark::DoNotOptimize(seriesStatistics(data, s, a, b));
        }
    }
}
BENCHMARK(BM_StatisticsRandomRangeAllSeries)->Unit(benchmark::kMicrosecond);

void BM_StatisticsWholeRunAllSeries(benchmark::State& state)
{
    const ChartData& data = *loaded().data;
    for (auto _ : state) {
        for (int s = 0; s < kChartSeriesCount; ++s) {
            benchmark::DoNotOptimize(seriesStatistics(data, s, 1, data.size() - 1));
        }
    }
}
BENCHMARK(BM_StatisticsWholeRunAllSeries)->Unit(benchmark::kMicrosecond);

void BM_CursorReading(benchmark::State& state)
{
    const ChartData& data = *loaded().data;
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> pick(data.x(0), data.x(data.size() - 1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(cursorReadingAt(data, pick(rng)));
    }
}
BENCHMARK(BM_CursorReading)->Unit(benchmark::kNanosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
