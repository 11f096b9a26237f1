#include "HidapiBackend.h"

#include "DevicePaths.h"
#include "HidapiDevice.h"
#include "ReportDescriptor.h"
#include "UdevMonitor.h"
#include "WideString.h"

#include <hidapi/hidapi.h>

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace qmx::link {

namespace {

// Closes a file descriptor on every path out of a function.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// hidapi 0.13 has no call for the report descriptor (hid_get_report_descriptor came in 0.14), so
// it is read from the node with the hidraw ioctls, on a descriptor of our own.
std::optional<std::vector<std::uint8_t>> readReportDescriptor(const std::string& path)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    int size = 0;
    if (::ioctl(fd.get(), HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        return std::nullopt;
    }
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<std::uint32_t>(size);
    if (::ioctl(fd.get(), HIDIOCGRDESC, &descriptor) < 0 || descriptor.size > HID_MAX_DESCRIPTOR_SIZE) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(descriptor.value, descriptor.value + descriptor.size);
}

// hid_open_path() failed; find out why in words the user can act on. hid_error(NULL) is no help
// here: hidapi 0.13 reports "Success" after a failed open.
std::string openFailureReason(const std::string& path)
{
    const FileDescriptor fd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (fd.get() < 0) {
        return path + ": " + std::strerror(errno);
    }
    int size = 0;
    if (::ioctl(fd.get(), HIDIOCGRDESCSIZE, &size) < 0) {
        return path + ": not a hidraw device (" + std::strerror(errno) + ")";
    }
    return path + ": hidapi could not open the device";
}

} // namespace

HidapiBackend::Library::Library()
{
    hid_init();
}

HidapiBackend::Library::~Library()
{
    // On hidraw this only frees hidapi's global error text; another backend still alive keeps
    // working, since every hidapi entry point initialises the library again when needed.
    hid_exit();
}

bool udevIsRunning()
{
    return ::access("/run/udev/control", F_OK) == 0;
}

HidapiBackend::HidapiBackend(QObject* parent) : HidapiBackend(HotplugSource::Automatic, kDefaultPollInterval, parent) {}

HidapiBackend::HidapiBackend(HotplugSource source, std::chrono::milliseconds pollInterval, QObject* parent)
    : HidBackend(parent)
{
    const bool tryMonitor = source == HotplugSource::UdevMonitor || (source == HotplugSource::Automatic && udevIsRunning());
    if (tryMonitor) {
        m_monitor = UdevMonitor::create();
    }
    if (m_monitor) {
        connect(m_monitor.get(), &UdevMonitor::changed, this, &HidBackend::devicesChanged);
        return;
    }
    m_polledPaths = pathsOf(enumerate());
    m_pollTimer.setInterval(pollInterval);
    connect(&m_pollTimer, &QTimer::timeout, this, &HidapiBackend::pollDevices);
    m_pollTimer.start();
}

HidapiBackend::~HidapiBackend() = default;

std::vector<HidDeviceInfo> HidapiBackend::enumerate()
{
    std::vector<HidDeviceInfo> infos;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* d = list; d != nullptr; d = d->next) {
        HidDeviceInfo info;
        info.path = d->path != nullptr ? d->path : "";
        info.product = d->product_string != nullptr ? utf16FromWide(d->product_string) : std::u16string();
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        infos.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return dropRepeatedPaths(std::move(infos));
}

OpenResult HidapiBackend::open(const HidDeviceInfo& info)
{
    hid_device* handle = hid_open_path(info.path.c_str());
    if (handle == nullptr) {
        return {nullptr, openFailureReason(info.path)};
    }
    ReportLayout layout = kFallbackLayout;
    if (const auto descriptor = readReportDescriptor(info.path)) {
        if (const auto parsed = parseReportDescriptor(*descriptor)) {
            layout = *parsed;
        }
    }
    return {std::make_unique<HidapiDevice>(handle, layout), {}};
}

void HidapiBackend::pollDevices()
{
    std::vector<std::string> paths = pathsOf(enumerate());
    if (devicePathsChanged(m_polledPaths, paths)) {
        m_polledPaths = std::move(paths);
        emit devicesChanged();
    }
}

} // namespace qmx::link
