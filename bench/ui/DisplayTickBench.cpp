// Cost of one display tick: every control of the measurement page, the indicators on the other
// pages and the large window, with a connected (fake) transducer and changing values.

#include "FakeBackend.h"

#include "link/Protocol.h"
#include "ui/MainWindow.h"
#include "ui/windows/LargeReadoutWindow.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

/// One tick; with `paint` the repaints it caused are done too (what the user's screen costs).
void runTicks(benchmark::State& state, bool paint)
{
    qmx::test::FakeBackend backend;
    auto device = backend.add(u"QMX80NET");
    qmx::ui::MainWindow window(backend);
    qmx::ui::LargeReadoutWindow big;
    window.attachWindows({nullptr, nullptr, nullptr, &big, nullptr});
    window.resize(1000, 800);
    window.show();
    big.show();
    window.onDeviceChange();
    qmx::link::Measurement m;
    m.ChannelStatus = {3, 2, 4, 3};
    std::array<std::uint8_t, 64> report{};
    float value = 0.0F;
    for (auto _ : state) {
        // New values every tick, as a live signal gives.
        value += 1.25F;
        m.SumValue = value;
        m.DeviceMax = value * 2;
        m.ChannelValue = {value, -value, value / 3, 1.0F};
        m.ChannelLoad = {static_cast<std::uint16_t>(static_cast<int>(value) % 250), 120, 180, 10};
        m.InputState = static_cast<std::uint8_t>(static_cast<int>(value) & 3);
        qmx::link::encodeMeasurement(m, report);
        window.link().dispatchReport(1, report);
        window.displayTick();
        if (paint) {
            QApplication::processEvents(); // the repaints the tick caused
        }
    }
}

void DisplayTick(benchmark::State& state)
{
    runTicks(state, false);
}
BENCHMARK(DisplayTick)->Unit(benchmark::kMicrosecond);

void DisplayTickWithRepaint(benchmark::State& state)
{
    runTicks(state, true);
}
BENCHMARK(DisplayTickWithRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
