#include "SimBackend.h"

#include "FactoryDefaults.h"
#include "SimHidDevice.h"

#include <QMetaObject>

#include <algorithm>

namespace qmx::sim {

using namespace std::chrono;

namespace {
// A stalled pump (a debugger stop, a suspended machine) must not flood the host with a burst of
// reports: model time gives up what lies beyond this.
constexpr microseconds kLongestPumpStep{250'000};
} // namespace

SimBackend::SimBackend(Clock clock, QObject* parent) : link::HidBackend(parent), m_clock(clock)
{
    for (int i = 0; i < kMaxTransducers; ++i) {
        auto mac = kFactoryMac;
        mac[5] = static_cast<std::uint8_t>(mac[5] + i);
        m_models[static_cast<std::size_t>(i)] =
            std::make_shared<VirtualTransducer>(static_cast<std::uint64_t>(i + 1), mac);
        m_models[static_cast<std::size_t>(i)]->setPlugged(i < m_count);
    }
    if (m_clock == Clock::RealTime) {
        m_pump = std::jthread([this](std::stop_token stop) { pump(stop); });
    }
}

SimBackend::~SimBackend()
{
    if (m_pump.joinable()) {
        m_pump.request_stop();
        m_pump.join();
    }
}

std::string SimBackend::transducerPath(int index)
{
    return index == 0 ? std::string("sim:qmx80net") : "sim:qmx80net-" + std::to_string(index + 1);
}

int SimBackend::indexOfPath(const std::string& path) const
{
    for (int i = 0; i < kMaxTransducers; ++i) {
        if (path == transducerPath(i)) {
            return i;
        }
    }
    return -1;
}

std::vector<link::HidDeviceInfo> SimBackend::enumerate()
{
    std::lock_guard lock(m_mutex);
    std::vector<link::HidDeviceInfo> result = m_foreign;
    for (int i = 0; i < m_count; ++i) {
        if (m_models[static_cast<std::size_t>(i)]->plugged()) {
            result.push_back({transducerPath(i), std::u16string(kProduct), kVendorId, kProductId});
        }
    }
    return result;
}

link::OpenResult SimBackend::open(const link::HidDeviceInfo& info)
{
    std::lock_guard lock(m_mutex);
    const int index = indexOfPath(info.path);
    if (index < 0) {
        const bool foreign = std::any_of(m_foreign.begin(), m_foreign.end(),
                                         [&](const link::HidDeviceInfo& f) { return f.path == info.path; });
        return {nullptr, foreign ? "not a transducer" : "no such device"};
    }
    const auto& model = m_models[static_cast<std::size_t>(index)];
    if (index >= m_count || !model->plugged()) {
        return {nullptr, "device not present"};
    }
    if (m_openRefused) {
        return {nullptr, m_refusalReason};
    }
    const auto handle = model->openHandle();
    if (!handle) {
        return {nullptr, "device not present"};
    }
    return {std::make_unique<SimHidDevice>(model, *handle), {}};
}

VirtualTransducer& SimBackend::transducer(int index)
{
    // An index outside 0..kMaxTransducers-1 throws std::out_of_range: a test asking for a
    // transducer that cannot exist is wrong, and silently handing it another one would hide that.
    return *m_models.at(static_cast<std::size_t>(index));
}

void SimBackend::advance(microseconds dt)
{
    for (const auto& model : m_models) {
        model->advance(dt);
    }
}

void SimBackend::unplug(int index)
{
    if (index < 0 || index >= kMaxTransducers) {
        return;
    }
    m_models[static_cast<std::size_t>(index)]->setPlugged(false);
    notifyDevicesChanged();
}

void SimBackend::replug(int index)
{
    {
        std::lock_guard lock(m_mutex);
        if (index < 0 || index >= m_count) {
            return; // not on the bus at all
        }
    }
    m_models[static_cast<std::size_t>(index)]->setPlugged(true);
    notifyDevicesChanged();
}

void SimBackend::setOpenRefused(bool refused, std::string reason)
{
    {
        std::lock_guard lock(m_mutex);
        m_openRefused = refused;
        m_refusalReason = std::move(reason);
    }
    // As if the device re-announced itself with other access rights.
    notifyDevicesChanged();
}

void SimBackend::addForeignDevice(link::HidDeviceInfo info)
{
    {
        std::lock_guard lock(m_mutex);
        if (info.path.empty()) {
            info.path = "sim:foreign-" + std::to_string(++m_foreignSerial);
        }
        m_foreign.push_back(std::move(info));
    }
    notifyDevicesChanged();
}

void SimBackend::clearForeignDevices()
{
    {
        std::lock_guard lock(m_mutex);
        m_foreign.clear();
    }
    notifyDevicesChanged();
}

void SimBackend::setTransducerCount(int count)
{
    {
        std::lock_guard lock(m_mutex);
        m_count = std::clamp(count, 0, kMaxTransducers);
        for (int i = 0; i < kMaxTransducers; ++i) {
            m_models[static_cast<std::size_t>(i)]->setPlugged(i < m_count);
        }
    }
    notifyDevicesChanged();
}

int SimBackend::transducerCount() const
{
    std::lock_guard lock(m_mutex);
    return m_count;
}

void SimBackend::notifyDevicesChanged()
{
    // Queued, like a hot-plug notice: the handler runs from the event loop of the backend's
    // thread, never inside the call that changed the bus.
    QMetaObject::invokeMethod(this, [this] { emit devicesChanged(); }, Qt::QueuedConnection);
}

void SimBackend::pump(std::stop_token stop)
{
    auto last = steady_clock::now();
    std::unique_lock lock(m_pumpMutex);
    while (!stop.stop_requested()) {
        m_pumpWake.wait_for(lock, stop, kPumpPeriod, [] { return false; });
        if (stop.stop_requested()) {
            break;
        }
        const auto now = steady_clock::now();
        auto step = duration_cast<microseconds>(now - last);
        if (step > kLongestPumpStep) {
            step = kLongestPumpStep;
            last = now;
        } else {
            last += step; // the sub-microsecond rest carries over to the next step
        }
        for (const auto& model : m_models) {
            model->advance(step);
        }
    }
}

} // namespace qmx::sim
