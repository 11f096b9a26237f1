#pragma once
// A scripted HID backend for link tests: devices are listed as configured, writes are recorded
// and input reports are injected by the test.
//
// Threads: FakeDevice::read runs on the link's reader thread, write on the poll worker or the
// test thread; both guard the device state with m_mutex.

#include "link/HidBackend.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace qmx::test {

struct FakeDeviceState {
    std::mutex mutex;
    std::condition_variable cv;
    std::deque<std::vector<std::uint8_t>> input;
    std::vector<std::vector<std::uint8_t>> written;
    bool gone = false;
    bool failWrites = false;
    std::size_t reportLength = 65;

    /// Queues an input report; `payload` is prefixed with report ID 1.
    void inject(std::vector<std::uint8_t> payload)
    {
        payload.insert(payload.begin(), 1);
        {
            std::lock_guard lock(mutex);
            input.push_back(std::move(payload));
        }
        cv.notify_all();
    }
    std::vector<std::vector<std::uint8_t>> writes()
    {
        std::lock_guard lock(mutex);
        return written;
    }
    void clearWrites()
    {
        std::lock_guard lock(mutex);
        written.clear();
    }
    /// Request codes written so far, in order.
    std::vector<std::uint8_t> codes()
    {
        std::lock_guard lock(mutex);
        std::vector<std::uint8_t> result;
        for (const auto& w : written) {
            result.push_back(w.at(1));
        }
        return result;
    }
    void unplug()
    {
        {
            std::lock_guard lock(mutex);
            gone = true;
        }
        cv.notify_all();
    }
};

class FakeDevice final : public link::HidDevice {
public:
    explicit FakeDevice(std::shared_ptr<FakeDeviceState> state) : m_state(std::move(state)) {}
    std::size_t inputReportLength() const override { return m_state->reportLength; }
    std::size_t outputReportLength() const override { return m_state->reportLength; }
    bool write(std::span<const std::uint8_t> report) override
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->gone || m_state->failWrites) {
            return false;
        }
        m_state->written.emplace_back(report.begin(), report.end());
        return true;
    }
    int read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) override
    {
        std::unique_lock lock(m_state->mutex);
        m_state->cv.wait_for(lock, timeout, [&] { return m_state->gone || !m_state->input.empty(); });
        if (m_state->gone) {
            return -1;
        }
        if (m_state->input.empty()) {
            return 0;
        }
        auto report = std::move(m_state->input.front());
        m_state->input.pop_front();
        const std::size_t n = std::min(report.size(), buffer.size());
        std::copy_n(report.begin(), n, buffer.begin());
        return static_cast<int>(n);
    }

private:
    std::shared_ptr<FakeDeviceState> m_state;
};

class FakeBackend final : public link::HidBackend {
public:
    struct Entry {
        link::HidDeviceInfo info;
        std::shared_ptr<FakeDeviceState> state; // null: opening fails
        std::string openError;
    };

    /// Adds a device and returns its state (for injecting reports and reading writes).
    std::shared_ptr<FakeDeviceState> add(std::u16string product, std::uint16_t vid = 0x1234, std::uint16_t pid = 0x5678,
                                         bool openable = true)
    {
        auto state = openable ? std::make_shared<FakeDeviceState>() : nullptr;
        const std::string path = "fake:" + std::to_string(m_nextId++);
        m_entries.push_back({{path, std::move(product), vid, pid}, state, openable ? "" : "Permission denied"});
        return state;
    }
    void remove(std::size_t index)
    {
        if (m_entries[index].state) {
            m_entries[index].state->unplug();
        }
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    }
    void clear()
    {
        while (!m_entries.empty()) {
            remove(0);
        }
    }
    const std::vector<Entry>& entries() const { return m_entries; }
    void notifyChange() { emit devicesChanged(); }
    int opens() const { return m_opens; }

    std::vector<link::HidDeviceInfo> enumerate() override
    {
        std::vector<link::HidDeviceInfo> infos;
        for (const auto& e : m_entries) {
            infos.push_back(e.info);
        }
        return infos;
    }
    link::OpenResult open(const link::HidDeviceInfo& info) override
    {
        ++m_opens;
        for (const auto& e : m_entries) {
            if (e.info.path == info.path) {
                if (!e.state) {
                    return {nullptr, e.openError};
                }
                return {std::make_unique<FakeDevice>(e.state), {}};
            }
        }
        return {nullptr, "gone"};
    }

private:
    std::vector<Entry> m_entries;
    int m_nextId = 0;
    int m_opens = 0;
};

} // namespace qmx::test
