#pragma once
// An open handle on a virtual transducer, seen through the HID device interface.
//
// Threads: read() runs on the link's reader thread and write() on the writer threads at the same
// time; both go through the transducer, whose own mutex guards all shared state.

#include "VirtualTransducer.h"

#include "link/HidBackend.h"

#include <memory>

namespace qmx::sim {

class SimHidDevice final : public link::HidDevice {
public:
    SimHidDevice(std::shared_ptr<VirtualTransducer> transducer, std::uint64_t handle);

    std::size_t inputReportLength() const override { return VirtualTransducer::kReportLength; }
    std::size_t outputReportLength() const override { return VirtualTransducer::kReportLength; }
    /// Passes the report to the model; false once the transducer is unplugged, the handle was
    /// taken over, or a write failure was injected.
    bool write(std::span<const std::uint8_t> report) override;
    /// The next input report (copied up to the buffer's size), 0 on time-out, -1 once unplugged.
    int read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override;

private:
    std::shared_ptr<VirtualTransducer> m_transducer;
    std::uint64_t m_handle;
};

} // namespace qmx::sim
