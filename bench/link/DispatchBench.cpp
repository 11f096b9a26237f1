// Cost of decoding and dispatching one measurement report on the user-interface thread, the
// recorder step included (not recording, as most of the time).

#include "link/LinkController.h"
#include "link/Protocol.h"
#include "recording/recorder/Recorder.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <array>

namespace {

/// A backend with no devices: the controller is used for dispatching only.
class NoDevices final : public qmx::link::HidBackend {
public:
    std::vector<qmx::link::HidDeviceInfo> enumerate() override { return {}; }
    qmx::link::OpenResult open(const qmx::link::HidDeviceInfo&) override { return {nullptr, "none"}; }
};

void DispatchMeasurement(benchmark::State& state)
{
    NoDevices backend;
    qmx::link::LinkController link(backend, {});
    // The recorder step as the program runs it while not recording.
    qmx::recording::Recorder recorder;
    long observed = 0;
    link.setMeasurementObserver([&](const qmx::link::Measurement& m) {
        recorder.recordMeasurement(m);
        ++observed;
    });
    qmx::link::Measurement m;
    m.SumValue = 123.5F;
    m.InputState = 1;
    std::array<std::uint8_t, 64> report{};
    qmx::link::encodeMeasurement(m, report);
    for (auto _ : state) {
        link.dispatchReport(1, report);
        benchmark::DoNotOptimize(observed);
    }
    link.takeFrameCount();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(DispatchMeasurement);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
