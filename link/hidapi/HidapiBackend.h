#pragma once
// The real HID devices, through hidapi's hidraw backend, with hot-plug notices from udev.
//
// Threads: lives on the user-interface thread; enumerate(), open() and devicesChanged() all run
// there. The devices it opens are used from their reader threads (see HidapiDevice).

#include "link/HidBackend.h"

#include <QTimer>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace qmx::link {

class UdevMonitor;

/// Where device-change notices come from.
enum class HotplugSource {
    Automatic,   ///< the udev monitor when udev runs on this system, otherwise polling
    UdevMonitor, ///< the udev monitor whenever one can be created, otherwise polling
    Polling,     ///< re-enumeration at a fixed interval, notice when the set of paths changed
};

/// HID backend on hidapi (hidraw). Enumerates one entry per hidraw node, opens nodes read-write,
/// and emits devicesChanged() when hidraw nodes come or go.
class HidapiBackend final : public HidBackend {
    Q_OBJECT
public:
    /// Re-enumeration interval of the polling fallback.
    static constexpr std::chrono::milliseconds kDefaultPollInterval{1000};

    /// Automatic hot-plug source, 1 s polling interval when it falls back.
    explicit HidapiBackend(QObject* parent = nullptr);
    HidapiBackend(HotplugSource source, std::chrono::milliseconds pollInterval, QObject* parent = nullptr);
    ~HidapiBackend() override;

    /// The hidraw nodes present, one entry each, in hidapi's order.
    std::vector<HidDeviceInfo> enumerate() override;
    /// Opens the node for reading and writing. On failure the error says why, e.g.
    /// "/dev/hidraw3: Permission denied".
    OpenResult open(const HidDeviceInfo& info) override;

    /// True when notices come from the udev monitor, false when from polling.
    bool usesUdevMonitor() const { return m_monitor != nullptr; }

private:
    // hid_init() on construction, hid_exit() on destruction.
    struct Library {
        Library();
        ~Library();
        Library(const Library&) = delete;
        Library& operator=(const Library&) = delete;
    };

    void pollDevices();

    Library m_library;
    std::unique_ptr<UdevMonitor> m_monitor;
    QTimer m_pollTimer;
    std::vector<std::string> m_polledPaths;
};

/// True when a udev daemon runs on this system (its control socket exists). Without it the udev
/// monitor would be created but never receive anything.
bool udevIsRunning();

} // namespace qmx::link
