#pragma once
// A device taken into use by the device search: its reader thread and its write lock.
//
// Threads: write() may be called from any thread (the poll worker and the user-interface thread);
// all writes go through m_writeMutex, so they never interleave. attach(), detach() and release()
// are called from the user-interface thread. The report handler runs on the reader thread and must
// not block on the user-interface thread, so that release() can always join the reader: the link
// hands reports over with a queued call, never a blocking one.

#include "HidBackend.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace qmx::link {

class ClaimedDevice {
public:
    /// Called on the reader thread with the report ID and the payload (report ID removed).
    using ReportHandler = std::function<void(std::uint8_t reportId, std::vector<std::uint8_t> payload)>;
    /// Called on the reader thread, once, when the reader stops because the device failed.
    using FailureHandler = std::function<void()>;

    ClaimedDevice(HidDeviceInfo info, OpenResult opened);
    ~ClaimedDevice();
    ClaimedDevice(const ClaimedDevice&) = delete;
    ClaimedDevice& operator=(const ClaimedDevice&) = delete;

    const HidDeviceInfo& info() const { return m_info; }
    /// True when the device opened for reading and writing together.
    bool isReadWrite() const { return m_device != nullptr; }
    /// Why the device did not open read-write; empty when it did.
    const std::string& openError() const { return m_openError; }
    /// False once the reader saw the device fail (unplugged) or the device was released.
    bool isHealthy() const { return isReadWrite() && !m_failed.load() && !m_released.load(); }

    std::size_t inputReportLength() const;
    std::size_t outputReportLength() const;

    /// Sends one request payload (1..63 bytes) as an output report. Returns false when the device is
    /// released, not open, or refused the write; a write never runs after release() has returned.
    bool write(std::span<const std::uint8_t> payload);

    /// Starts the reader thread; each input report goes to `handler`, and `onFailure` (if set) runs
    /// when a read fails. Replaces earlier handlers.
    void attach(ReportHandler handler, FailureHandler onFailure = {});
    /// Stops the reader thread and waits for it.
    void detach();
    /// Stops the reader, waits for a write in progress and closes the device. Idempotent.
    void release();

private:
    void readLoop(std::stop_token stop, ReportHandler handler, FailureHandler onFailure);

    HidDeviceInfo m_info;
    std::string m_openError;
    std::mutex m_writeMutex;              // guards m_device for writes and the release
    std::unique_ptr<HidDevice> m_device;  // null when not open or after release
    std::jthread m_reader;
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_released{false};
    std::size_t m_inputLength = 0;
    std::size_t m_outputLength = 0;
};

} // namespace qmx::link
