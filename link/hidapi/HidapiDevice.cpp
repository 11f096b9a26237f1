#include "HidapiDevice.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <vector>

namespace qmx::link {

HidapiDevice::HidapiDevice(hid_device_* handle, ReportLayout layout) : m_handle(handle), m_layout(layout) {}

HidapiDevice::~HidapiDevice()
{
    hid_close(m_handle);
}

bool HidapiDevice::write(std::span<const std::uint8_t> report)
{
    if (report.empty()) {
        return false;
    }
    const std::uint8_t* data = report.data();
    std::vector<std::uint8_t> unnumbered;
    if (!m_layout.numbered && report[0] != 0) {
        // hidraw sends a report without ID when byte 0 is 0; any other value would go out as data.
        unnumbered.assign(report.begin(), report.end());
        unnumbered[0] = 0;
        data = unnumbered.data();
    }

    // Announce the write before queueing for the lock, so that the reader lets it in after its
    // current slice instead of taking the lock again.
    m_writersWaiting.fetch_add(1);
    std::unique_lock lock(m_apiMutex);
    const int written = hid_write(m_handle, data, report.size());
    // Lowered under the lock, so that a reader cannot test the count and then miss the wake-up.
    m_writersWaiting.fetch_sub(1);
    lock.unlock();
    m_writerDone.notify_all();
    return written >= 0 && static_cast<std::size_t>(written) == report.size();
}

int HidapiDevice::read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout)
{
    const std::size_t idBytes = m_layout.numbered ? 0 : 1;
    if (buffer.size() < idBytes + 1) {
        return -1;
    }
    const auto slice = std::clamp(timeout, std::chrono::milliseconds{0}, kReadSlice);

    std::unique_lock lock(m_apiMutex);
    m_writerDone.wait(lock, [this] { return m_writersWaiting.load() == 0; });
    const int n = hid_read_timeout(m_handle, buffer.data() + idBytes, buffer.size() - idBytes,
                                   static_cast<int>(slice.count()));
    lock.unlock();

    if (n <= 0) {
        return n < 0 ? -1 : 0;
    }
    if (idBytes != 0) {
        buffer[0] = 0;
    }
    return n + static_cast<int>(idBytes);
}

} // namespace qmx::link
