#pragma once
// The HID backend of the virtual transducers: lists them (and any foreign devices a test adds)
// and opens them as SimHidDevice handles. It also plays the part of the USB bus: plugging,
// unplugging, refused opens.
//
// Threads: the backend lives on the user-interface thread, where devicesChanged() is emitted (from
// the event loop, never inside the call that caused it). In RealTime mode a pump thread advances
// the models by the wall clock every 2 ms. m_mutex guards the device list state (count, foreign
// devices, refusal); each model guards itself.
//
// Identity: product string "QMX80NET", vendor ID 0x1209 and product ID 0x0001 (the pid.codes test
// pair, reserved for devices that never ship), paths "sim:qmx80net" and "sim:qmx80net-2".

#include "VirtualTransducer.h"

#include "link/HidBackend.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace qmx::sim {

class SimBackend final : public link::HidBackend {
    Q_OBJECT
public:
    /// RealTime: a pump thread moves model time with the wall clock. Manual: model time moves only
    /// by advance().
    enum class Clock { RealTime, Manual };

    static constexpr std::uint16_t kVendorId = 0x1209;
    static constexpr std::uint16_t kProductId = 0x0001;
    static constexpr std::u16string_view kProduct = u"QMX80NET";
    static constexpr int kMaxTransducers = 2;
    /// How often the pump advances the models in RealTime mode.
    static constexpr std::chrono::milliseconds kPumpPeriod{2};

    explicit SimBackend(Clock clock = Clock::RealTime, QObject* parent = nullptr);
    ~SimBackend() override;

    /// Foreign devices first, in the order added, then the plugged transducers by index.
    std::vector<link::HidDeviceInfo> enumerate() override;
    /// Opens a transducer read-write. Fails for an unplugged or unknown path, while opens are
    /// refused, and for foreign devices ("not a transducer").
    link::OpenResult open(const link::HidDeviceInfo& info) override;

    /// The model of transducer `index` (0 or 1; others throw std::out_of_range); valid for the
    /// backend's whole life, whether or not the transducer is on the bus.
    VirtualTransducer& transducer(int index = 0);
    /// The path under which transducer `index` is listed.
    static std::string transducerPath(int index);
    Clock clock() const { return m_clock; }
    /// Moves every model on by `dt` of model time (any mode) and wakes their readers.
    void advance(std::chrono::microseconds dt);

    /// Pulls transducer `index` off the bus: it leaves the listing, open handles read -1.
    void unplug(int index = 0);
    /// Plugs transducer `index` in again.
    void replug(int index = 0);
    /// While set, opening a transducer fails with `reason`, as for a device without access rights.
    void setOpenRefused(bool refused, std::string reason = "access denied");
    /// Lists another HID device (a keyboard, a device without product string ...). An empty path
    /// is replaced by "sim:foreign-<n>".
    void addForeignDevice(link::HidDeviceInfo info);
    void clearForeignDevices();
    /// 0, 1 or 2 transducers on the bus (1 at construction).
    void setTransducerCount(int count);
    int transducerCount() const;

private:
    void notifyDevicesChanged();
    void pump(std::stop_token stop);
    int indexOfPath(const std::string& path) const;

    const Clock m_clock;
    std::array<std::shared_ptr<VirtualTransducer>, kMaxTransducers> m_models;

    mutable std::mutex m_mutex; // guards the members below
    int m_count = 1;
    bool m_openRefused = false;
    std::string m_refusalReason;
    std::vector<link::HidDeviceInfo> m_foreign;
    int m_foreignSerial = 0;

    std::condition_variable_any m_pumpWake; // lets the pump end at once
    std::mutex m_pumpMutex;
    std::jthread m_pump; // last member: stopped and joined before the models go
};

} // namespace qmx::sim
