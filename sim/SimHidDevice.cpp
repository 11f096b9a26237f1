#include "SimHidDevice.h"

#include <algorithm>

namespace qmx::sim {

SimHidDevice::SimHidDevice(std::shared_ptr<VirtualTransducer> transducer, std::uint64_t handle)
    : m_transducer(std::move(transducer)), m_handle(handle)
{
}

bool SimHidDevice::write(std::span<const std::uint8_t> report)
{
    return m_transducer->writeFromHandle(m_handle, report);
}

int SimHidDevice::read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout)
{
    std::vector<std::uint8_t> report;
    switch (m_transducer->readFromHandle(m_handle, report, timeout)) {
    case VirtualTransducer::ReadStatus::Gone:
        return -1;
    case VirtualTransducer::ReadStatus::Timeout:
        return 0;
    case VirtualTransducer::ReadStatus::Report:
        break;
    }
    // Like hidraw, a report longer than the caller's buffer is cut to fit.
    const std::size_t n = std::min(buffer.size(), report.size());
    std::copy_n(report.begin(), n, buffer.begin());
    return static_cast<int>(n);
}

} // namespace qmx::sim
