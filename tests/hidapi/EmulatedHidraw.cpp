#include "EmulatedHidraw.h"

#include <umockdev.h>

#include <fcntl.h>
#include <linux/hidraw.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace qmx::test {

namespace {

constexpr unsigned kHidrawMajor = 240;

std::string usbDevicePath(const NodeOptions& options)
{
    return "/devices/pci0000:00/0000:00:14.0/usb1/1-" + std::to_string(options.index + 1);
}

std::string hex4(std::uint16_t v)
{
    char text[5];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(v));
    return text;
}

std::string hexBytes(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char pair[3];
    for (const auto b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(b));
        text += pair;
    }
    return text;
}

std::string serialOf(const NodeOptions& options)
{
    char serial[6];
    std::snprintf(serial, sizeof serial, ".%04X", options.index + 1);
    return serial;
}

// sysfs path of the HID device above the node. A virtual (uhid) device sits on the Bluetooth bus
// 0005; a USB one on bus 0003 below a USB interface and device.
std::string hidDevicePath(const NodeOptions& options)
{
    const std::string ids = hex4(options.vendorId) + ":" + hex4(options.productId) + serialOf(options);
    if (options.usb) {
        return usbDevicePath(options) + "/1-" + std::to_string(options.index + 1) + ":1.0/0003:" + ids;
    }
    return "/devices/virtual/misc/uhid/0005:" + ids;
}

// hidapi takes the product string from HID_NAME on the Bluetooth bus and from the USB device's
// "product" attribute on USB; it needs HID_UNIQ present and follows the node's "device" link.
std::string describe(const NodeOptions& options)
{
    const std::string n = std::to_string(options.index);
    const std::string bus = options.usb ? "0003" : "0005";
    const std::string hid = hidDevicePath(options);
    const std::string hidName = hid.substr(hid.rfind('/') + 1);
    std::string text =
        "P: " + hid + "/hidraw/hidraw" + n + "\n" +
        "N: hidraw" + n + "\n"
        "E: DEVNAME=/dev/hidraw" + n + "\n"
        "E: MAJOR=" + std::to_string(kHidrawMajor) + "\n"
        "E: MINOR=" + n + "\n"
        "E: SUBSYSTEM=hidraw\n"
        "A: dev=" + std::to_string(kHidrawMajor) + ":" + n + "\\n\n"
        "L: device=../../../" + hidName + "\n"
        "\n"
        "P: " + hid + "\n"
        "E: DRIVER=hid-generic\n"
        "E: HID_ID=" + bus + ":0000" + hex4(options.vendorId) + ":0000" + hex4(options.productId) + "\n"
        // On USB the kernel names the device "<manufacturer> <product>"; hidapi must not use it.
        "E: HID_NAME=" + (options.usb ? "Maker " + options.product : options.product) + "\n"
        "E: HID_PHYS=\n"
        "E: HID_UNIQ=\n"
        "E: MODALIAS=hid:b" + bus + "g0001v0000" + hex4(options.vendorId) + "p0000" + hex4(options.productId) + "\n"
        "E: SUBSYSTEM=hid\n"
        "H: report_descriptor=" + hexBytes(options.descriptor) + "\n";
    if (options.usb) {
        const std::string usbDevice = usbDevicePath(options);
        text += "\n"
                "P: " + usbDevice + "/1-" + std::to_string(options.index + 1) + ":1.0\n"
                "E: DEVTYPE=usb_interface\n"
                "E: DRIVER=usbhid\n"
                "E: SUBSYSTEM=usb\n"
                "A: bInterfaceNumber=00\\n\n"
                "\n"
                "P: " + usbDevice + "\n"
                "E: DEVTYPE=usb_device\n"
                "E: SUBSYSTEM=usb\n"
                "A: idVendor=" + hex4(options.vendorId) + "\\n\n"
                "A: idProduct=" + hex4(options.productId) + "\\n\n"
                "A: bcdDevice=0100\\n\n"
                "A: manufacturer=Maker\\n\n"
                "A: product=" + options.product + "\\n\n"
                "A: serial=0001\\n\n";
    }
    return text;
}

[[noreturn]] void fail(const std::string& what, GError* error)
{
    std::string text = what + (error != nullptr ? std::string(": ") + error->message : std::string());
    if (error != nullptr) {
        g_error_free(error);
    }
    throw std::runtime_error(text);
}

} // namespace

struct EmulatedHidraw::Node {
    NodeOptions options;
    Responder responder;
    std::string sysPath;
    UMockdevIoctlBase* handler = nullptr;
    int master = -1; // the responder's end of the pseudo-terminal; owned by the test bed
    int slave = -1;  // held open so the terminal stays usable while the program has the node closed

    mutable std::mutex mutex;                      // guards the members below
    std::vector<std::vector<std::uint8_t>> writes; // every output report, as written
    std::deque<std::vector<std::uint8_t>> pending; // replies not yet written to the terminal
    std::size_t unread = 0;                        // bytes of the last reply the program has not read

    // Writes the next reply once the previous one was read completely. Called under `mutex`.
    void pump()
    {
        if (unread != 0 || pending.empty()) {
            return;
        }
        const std::vector<std::uint8_t> report = std::move(pending.front());
        pending.pop_front();
        std::size_t done = 0;
        while (done < report.size()) {
            const ssize_t n = ::write(master, report.data() + done, report.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                std::fprintf(stderr, "emulated hidraw: reply write failed: %s\n", std::strerror(errno));
                return;
            }
            done += static_cast<std::size_t>(n);
        }
        unread = report.size();
    }

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
    {
        auto* node = static_cast<Node*>(self);
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        const auto& descriptor = node->options.descriptor;
        if (!node->options.answersHidrawIoctls) {
            return FALSE; // umockdev answers ENOTTY, as for a node that is no hidraw device
        }
        if (request == HIDIOCGRDESCSIZE) {
            UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
            if (data == nullptr) {
                umockdev_ioctl_client_complete(client, -1, EFAULT);
                return TRUE;
            }
            const int size = static_cast<int>(descriptor.size());
            std::memcpy(data->data, &size, sizeof size);
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        }
        if (request == HIDIOCGRDESC) {
            UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_report_descriptor), nullptr);
            if (data == nullptr) {
                umockdev_ioctl_client_complete(client, -1, EFAULT);
                return TRUE;
            }
            hidraw_report_descriptor reply{};
            std::memcpy(&reply, data->data, sizeof reply);
            // Like the kernel: refuse sizes beyond its limit, copy at most what the descriptor has.
            if (reply.size > HID_MAX_DESCRIPTOR_SIZE - 1) {
                umockdev_ioctl_client_complete(client, -1, EINVAL);
                return TRUE;
            }
            std::copy_n(descriptor.begin(), std::min<std::size_t>(reply.size, descriptor.size()), reply.value);
            std::memcpy(data->data, &reply, sizeof reply);
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        }
        return FALSE;
    }

    static gboolean onWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
    {
        auto* node = static_cast<Node*>(self);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        std::vector<std::uint8_t> report(arg->data, arg->data + arg->data_len);
        {
            std::lock_guard lock(node->mutex);
            node->writes.push_back(report);
            if (node->responder) {
                for (auto& reply : node->responder(report)) {
                    node->pending.push_back(std::move(reply));
                }
            }
            node->pump();
        }
        // The report was taken whole, as hidraw takes one report per write.
        umockdev_ioctl_client_complete(client, arg->data_len, 0);
        return TRUE;
    }

    static gboolean onRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self)
    {
        auto* node = static_cast<Node*>(self);
        int readErrno = 0;
        const int n = umockdev_ioctl_client_execute(client, &readErrno, nullptr);
        umockdev_ioctl_client_complete(client, n, readErrno);
        if (n > 0) {
            std::lock_guard lock(node->mutex);
            node->unread -= std::min(node->unread, static_cast<std::size_t>(n));
            node->pump();
        }
        return TRUE;
    }
};

EmulatedHidraw::EmulatedHidraw() : m_testbed(umockdev_testbed_new())
{
    if (!umockdev_in_mock_environment()) {
        g_object_unref(m_testbed);
        throw std::runtime_error("the test must run under umockdev's preload library (umockdev-wrapper)");
    }
}

EmulatedHidraw::~EmulatedHidraw()
{
    // The test bed stops its worker thread first, so no handler runs while the nodes go away.
    g_object_unref(m_testbed);
    for (auto& node : m_nodes) {
        if (node->slave >= 0) {
            ::close(node->slave);
        }
        g_object_unref(node->handler);
    }
}

std::string EmulatedHidraw::add(const NodeOptions& options, Responder responder)
{
    auto node = std::make_unique<Node>();
    node->options = options;
    node->responder = std::move(responder);
    const std::string devNode = "/dev/hidraw" + std::to_string(options.index);

    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(m_testbed, describe(options).c_str(), &error)) {
        fail("cannot add " + devNode, error);
    }
    node->sysPath = "/sys" + hidDevicePath(options) + "/hidraw/hidraw" + std::to_string(options.index);

    node->handler = umockdev_ioctl_base_new();
    g_signal_connect(node->handler, "handle-ioctl", G_CALLBACK(&Node::onIoctl), node.get());
    g_signal_connect(node->handler, "handle-write", G_CALLBACK(&Node::onWrite), node.get());
    g_signal_connect(node->handler, "handle-read", G_CALLBACK(&Node::onRead), node.get());
    if (!umockdev_testbed_attach_ioctl(m_testbed, devNode.c_str(), node->handler, &error)) {
        fail("cannot attach the ioctl handler of " + devNode, error);
    }
    node->master = umockdev_testbed_get_dev_fd(m_testbed, devNode.c_str());
    char slavePath[64];
    if (node->master < 0 || ::ptsname_r(node->master, slavePath, sizeof slavePath) != 0) {
        throw std::runtime_error("no pseudo-terminal behind " + devNode);
    }
    node->slave = ::open(slavePath, O_RDWR | O_NOCTTY | O_CLOEXEC);
    m_nodes.push_back(std::move(node));
    return devNode;
}

void EmulatedHidraw::remove(unsigned index)
{
    Node* node = find(index);
    const std::string devNode = "/dev/hidraw" + std::to_string(index);
    umockdev_testbed_detach_ioctl(m_testbed, devNode.c_str(), nullptr);
    // umockdev_testbed_remove_device() sends no event of its own; udev would send "remove".
    umockdev_testbed_uevent(m_testbed, node->sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(m_testbed, node->sysPath.c_str());
}

std::vector<std::vector<std::uint8_t>> EmulatedHidraw::writes(unsigned index) const
{
    const Node* node = find(index);
    std::lock_guard lock(node->mutex);
    return node->writes;
}

EmulatedHidraw::Node* EmulatedHidraw::find(unsigned index) const
{
    for (const auto& node : m_nodes) {
        if (node->options.index == index) {
            return node.get();
        }
    }
    throw std::out_of_range("no emulated node hidraw" + std::to_string(index));
}

} // namespace qmx::test
