#pragma once
// The HID platform layer as the program uses it: enumerate, open with a read-write check, report
// lengths, synchronous writes, timed reads for a reader thread, and device-change notices.
// Implemented by the hidapi backend (real hardware) and by the virtual transducer.

#include <QObject>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace qmx::link {

/// One HID device present at an enumeration.
struct HidDeviceInfo {
    std::string path;         ///< unique per device and backend; stable while the device stays attached
    std::u16string product;   ///< USB product string, possibly empty
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

/// An opened HID device.
/// Threads: read() is called by one reader thread only; write() by any thread but never by two at
/// once (ClaimedDevice serialises writes under its lock); read() and write() may overlap.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    /// Input report length in bytes, report ID included.
    virtual std::size_t inputReportLength() const = 0;
    /// Output report length in bytes, report ID included.
    virtual std::size_t outputReportLength() const = 0;
    /// Writes one output report (byte 0 is the report ID). False when the device refused it.
    virtual bool write(std::span<const std::uint8_t> report) = 0;
    /// Waits up to `timeout` for one input report and copies it into `buffer`, report ID first.
    /// Returns the byte count, 0 on time-out, or -1 when the device is gone or failed.
    virtual int read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout) = 0;
};

/// Result of opening a device for reading and writing.
struct OpenResult {
    std::unique_ptr<HidDevice> device; ///< null when the device could not be opened read-write
    std::string error;                 ///< why not, in plain words, when device is null
};

/// A source of HID devices. Lives on the user-interface thread; devicesChanged() is emitted there.
class HidBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~HidBackend() override = default;

    /// The HID devices present now, in a stable order.
    virtual std::vector<HidDeviceInfo> enumerate() = 0;
    /// Opens a device of the last enumeration for reading and writing.
    virtual OpenResult open(const HidDeviceInfo& info) = 0;

signals:
    /// HID devices were added or removed.
    void devicesChanged();
};

} // namespace qmx::link
