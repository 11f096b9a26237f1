// Cost of the live chart: one sampling tick with hours of rows stored, a full redraw of hours of
// five dense series, and memory per stored point. Runs on the offscreen platform.

#include "recording/chart/ChartPlot.h"
#include "ui/pages/ChartPage.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>

using namespace qmx;

namespace {

constexpr int kPlotWidth = 1000;
constexpr int kPlotHeight = 500;
constexpr double kRowSpacing = 0.01; // 100 rows a second

// Dense worst case: a sine plus noise, so every pixel column of a zoomed-out view spans most of
// the height.
recording::ChartValues denseValues(std::size_t i)
{
    const auto t = static_cast<float>(static_cast<double>(i) * kRowSpacing);
    const auto noise = static_cast<float>((i * 2654435761U) % 1000U) * 0.05F - 25.0F;
    const float s = 40.0F * std::sin(t * 0.05F) + noise;
    return {s, s * 0.8F + 5.0F, -s, s * 0.5F - 10.0F, s * 1.5F};
}

/// Appends `rows` rows 10 ms apart, the last one `rows` x 10 ms after `start`.
void fillPlot(recording::ChartPlot& plot, std::size_t rows, double start = 0.0)
{
    for (std::size_t i = 0; i < rows; ++i) {
        plot.appendSample(start + static_cast<double>(i) * kRowSpacing, denseValues(i));
    }
}

// One sampling tick of the page (five appends and the axis updates) with `rows` rows stored.
void chartTick(benchmark::State& state)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    ui::ChartPage page;
    page.chartTimer->stop();
    static link::Measurement m;
    ui::ChartPageSources sources;
    sources.measurement = []() -> const link::Measurement& { return m; };
    sources.connected = [] { return true; };
    // A simulated clock 10 ms on at every reading: the ticks are timed as at 100 a second.
    sources.clock = [now = std::chrono::nanoseconds{0}]() mutable { return now += std::chrono::milliseconds(10); };
    page.setSources(std::move(sources));
    page.applySamplingIndex(0);
    page.applyTimeWindowIndex(1);
    // The stored hours end just before 0, where the chart's own ticks begin.
    fillPlot(*page.chartPlot, rows, -static_cast<double>(rows) * kRowSpacing);
    page.startChart();
    std::size_t i = rows;
    for (auto _ : state) {
        const recording::ChartValues v = denseValues(i++);
        m.ChannelValue = {v[0], v[1], v[2], v[3]};
        m.SumValue = v[4];
        page.chartTick();
    }
    state.counters["rows"] = static_cast<double>(page.chartPlot->chartData().size());
}
BENCHMARK(chartTick)->Arg(0)->Arg(360000)->Arg(3600000)->Unit(benchmark::kMicrosecond);

// Redraw of the whole chart zoomed out to every row, 1000 x 500 pixels, five series with 2-pixel
// pens, `rows` rows each (360 000 = 1 h, 3 600 000 = 10 h at 100 rows a second).
void chartFullRedraw(benchmark::State& state)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    recording::ChartPlot plot;
    plot.resize(kPlotWidth, kPlotHeight);
    plot.show();
    fillPlot(plot, rows);
    plot.setBottomRange({0.0, static_cast<double>(rows) * kRowSpacing});
    plot.setLeftRange({-100.0, 100.0});
    plot.replot();
    for (auto _ : state) {
        plot.replot(QCustomPlot::rpImmediateRefresh);
    }
    state.counters["bytes_per_point"] =
        static_cast<double>(plot.chartData().memoryBytes()) / static_cast<double>(rows * recording::kChartSeriesCount);
}
BENCHMARK(chartFullRedraw)->Arg(360000)->Arg(3600000)->Unit(benchmark::kMillisecond);

// Only the geometry of that redraw: per-column min/max of the five series, no painting.
void chartFullViewSegments(benchmark::State& state)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    recording::ChartPlot plot;
    plot.resize(kPlotWidth, kPlotHeight);
    plot.show();
    fillPlot(plot, rows);
    plot.setBottomRange({0.0, static_cast<double>(rows) * kRowSpacing});
    plot.setLeftRange({-100.0, 100.0});
    plot.replot();
    QVector<QLineF> segments;
    for (auto _ : state) {
        for (int s = 0; s < recording::kChartSeriesCount; ++s) {
            segments.clear();
            plot.chartSeries(s)->buildSegments(segments);
            benchmark::DoNotOptimize(segments.data());
        }
    }
    state.counters["segments_per_series"] = static_cast<double>(segments.size());
}
BENCHMARK(chartFullViewSegments)->Arg(360000)->Arg(3600000)->Unit(benchmark::kMillisecond);

// The same view drawn by QCustomPlot's own graphs (adaptive sampling, 1-pixel pens: a 2-pixel pen
// takes seconds to minutes there), for comparison.
void libraryGraphFullRedraw(benchmark::State& state)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    QCustomPlot plot;
    plot.resize(kPlotWidth, kPlotHeight);
    plot.show();
    for (int s = 0; s < recording::kChartSeriesCount; ++s) {
        QCPGraph* graph = plot.addGraph();
        QVector<double> keys(static_cast<qsizetype>(rows));
        QVector<double> values(static_cast<qsizetype>(rows));
        for (std::size_t i = 0; i < rows; ++i) {
            keys[static_cast<qsizetype>(i)] = static_cast<double>(i) * kRowSpacing;
            values[static_cast<qsizetype>(i)] = denseValues(i)[static_cast<std::size_t>(s)];
        }
        graph->setData(keys, values, true);
        graph->setPen(QPen(Qt::black, 1));
    }
    plot.xAxis->setRange(0.0, static_cast<double>(rows) * kRowSpacing);
    plot.yAxis->setRange(-100.0, 100.0);
    plot.replot();
    for (auto _ : state) {
        plot.replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(libraryGraphFullRedraw)->Arg(360000)->Arg(3600000)->Unit(benchmark::kMillisecond)->Iterations(5);

// Bytes the store holds per stored point (one value of one series), chunk overhead included.
void chartMemoryPerPoint(benchmark::State& state)
{
    const auto rows = static_cast<std::size_t>(state.range(0));
    recording::ChartData data;
    for (std::size_t i = 0; i < rows; ++i) {
        data.append(static_cast<double>(i) * kRowSpacing, denseValues(i));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(data.memoryBytes());
    }
    state.counters["bytes_per_point"] =
        static_cast<double>(data.memoryBytes()) / static_cast<double>(rows * recording::kChartSeriesCount);
}
BENCHMARK(chartMemoryPerPoint)->Arg(360000)->Arg(3600000);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
