#pragma once
// One hidraw device opened through hidapi.
//
// Threads: read() runs on the device's reader thread and write() on whichever thread sends
// (ClaimedDevice lets only one write run at a time). hidapi 0.13 keeps a per-device error string
// that hid_read_timeout() and hid_write() both free and replace, so the two calls must never run at
// once on one handle: every hidapi call on m_handle is made under m_apiMutex. A read holds the lock
// for one short slice only, and a waiting write goes first (m_writersWaiting), so a write waits at
// most one slice.

#include "ReportDescriptor.h"

#include "link/HidBackend.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>

struct hid_device_;

namespace qmx::link {

/// An open hidraw device with the program's framing: byte 0 of every report is the report ID.
class HidapiDevice final : public HidDevice {
public:
    /// Longest time one read holds the device; longer time-outs return 0 after this slice.
    static constexpr std::chrono::milliseconds kReadSlice{10};

    /// Takes ownership of an open hidapi handle; `layout` describes its reports.
    HidapiDevice(hid_device_* handle, ReportLayout layout);
    ~HidapiDevice() override;
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    std::size_t inputReportLength() const override { return m_layout.inputLength; }
    std::size_t outputReportLength() const override { return m_layout.outputLength; }
    /// Writes one report; on a device without report IDs byte 0 is sent as 0, which hidraw drops.
    /// True only when the whole report was written.
    bool write(std::span<const std::uint8_t> report) override;
    /// Reads one report; on a device without report IDs a 0 is put in front as its report ID.
    /// Returns the byte count, 0 on time-out, -1 when the device failed or `buffer` cannot hold a
    /// report ID and one byte.
    int read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override;

    const ReportLayout& layout() const { return m_layout; }

private:
    hid_device_* m_handle;
    ReportLayout m_layout;
    std::mutex m_apiMutex; // guards every hidapi call on m_handle
    std::condition_variable m_writerDone;
    std::atomic<int> m_writersWaiting{0}; // raised before m_apiMutex is taken, lowered under it
};

} // namespace qmx::link
