#pragma once
// Emulated hidraw nodes for the hidapi backend's tests, built on umockdev.
//
// The real hidapi library sees a sysfs tree and /dev/hidrawN nodes from a umockdev test bed (the test
// runs under umockdev's preload library). Each node is a pseudo-terminal: umockdev calls our handlers
// for the node's ioctls (report descriptor size and contents), for every write (one output report,
// captured whole and passed to the responder) and for every read. A pseudo-terminal is a byte
// stream, so two replies written back to back would be read as one; the next reply is therefore
// written only after the program's read has taken the previous one completely.
//
// Threads: umockdev runs the handlers on its own worker thread; the test thread adds and removes
// devices and reads the captured writes. Everything a handler shares with the test thread is
// guarded by Node::mutex.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;

namespace qmx::test {

/// Report descriptor of the transducer: vendor page, report ID 1, 64-byte input and output reports.
inline const std::vector<std::uint8_t> kTransducerDescriptor{
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x01, 0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x95, 0x40, 0x81, 0x02, 0x09, 0x03, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x91, 0x02, 0xC0};

/// The same reports without report IDs (the report ID item left out).
inline const std::vector<std::uint8_t> kUnnumberedDescriptor{
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95,
    0x40, 0x81, 0x02, 0x09, 0x03, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x91, 0x02, 0xC0};

/// What one emulated hidraw node looks like.
struct NodeOptions {
    unsigned index = 0;                  ///< N of /dev/hidrawN
    std::string product = "QMX80NET";    ///< HID name, which hidapi reports as the product string
    std::uint16_t vendorId = 0x1A2B;
    std::uint16_t productId = 0x00FF;
    std::vector<std::uint8_t> descriptor = kTransducerDescriptor;
    bool answersHidrawIoctls = true;     ///< false: a node that is no hidraw device
    bool usb = false;                    ///< on a USB device (product string from its "product"
                                         ///< attribute) instead of a virtual Bluetooth one
};

/// Answers one output report with zero or more input reports (whole reports, as hidraw gives them).
using Responder = std::function<std::vector<std::vector<std::uint8_t>>(std::span<const std::uint8_t> report)>;

/// A umockdev test bed holding emulated hidraw nodes. Create before any backend, so that the
/// backend's udev monitor is made inside the test bed.
class EmulatedHidraw {
public:
    EmulatedHidraw();
    ~EmulatedHidraw();
    EmulatedHidraw(const EmulatedHidraw&) = delete;
    EmulatedHidraw& operator=(const EmulatedHidraw&) = delete;

    /// Adds a node (udev sees an "add" event); returns its path "/dev/hidrawN".
    std::string add(const NodeOptions& options, Responder responder = {});
    /// Removes a node (udev sees a "remove" event).
    void remove(unsigned index);
    /// The output reports written to node `index` so far, each exactly as written.
    std::vector<std::vector<std::uint8_t>> writes(unsigned index) const;

private:
    struct Node;
    Node* find(unsigned index) const;

    UMockdevTestbed* m_testbed = nullptr;
    std::vector<std::unique_ptr<Node>> m_nodes;
};

} // namespace qmx::test
