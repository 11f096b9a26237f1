#include "UdevMonitor.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <cerrno>
#include <cstring>

namespace qmx::link {

void UdevMonitor::UdevUnref::operator()(udev* handle) const
{
    udev_unref(handle);
}

void UdevMonitor::MonitorUnref::operator()(udev_monitor* handle) const
{
    udev_monitor_unref(handle);
}

std::unique_ptr<UdevMonitor> UdevMonitor::create(QObject* parent)
{
    UdevHandle context(udev_new());
    if (!context) {
        return nullptr;
    }
    // "udev" events come after the rules ran, so the node already has its final permissions when
    // the program tries to open it.
    MonitorHandle monitor(udev_monitor_new_from_netlink(context.get(), "udev"));
    if (!monitor) {
        return nullptr;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor.get()) < 0) {
        return nullptr;
    }
    const int fd = udev_monitor_get_fd(monitor.get());
    if (fd < 0) {
        return nullptr;
    }
    return std::unique_ptr<UdevMonitor>(new UdevMonitor(std::move(context), std::move(monitor), fd, parent));
}

UdevMonitor::UdevMonitor(UdevHandle context, MonitorHandle monitor, int fd, QObject* parent)
    : QObject(parent), m_udev(std::move(context)), m_monitor(std::move(monitor))
{
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UdevMonitor::drainEvents);
}

UdevMonitor::~UdevMonitor()
{
    // Stop watching the socket before the monitor that owns it is closed.
    delete m_notifier;
    m_notifier = nullptr;
}

void UdevMonitor::drainEvents()
{
    // Several events may be queued; one notice after the batch is enough, since every listener
    // re-enumerates anyway. The socket is non-blocking, so the loop ends when it is empty.
    bool relevant = false;
    for (;;) {
        errno = 0;
        udev_device* device = udev_monitor_receive_device(m_monitor.get());
        if (device == nullptr) {
            // ENOBUFS: the socket overflowed and events were lost, so a device may have come or
            // gone unseen; a notice makes the listeners look.
            relevant = relevant || errno == ENOBUFS;
            break;
        }
        const char* action = udev_device_get_action(device);
        if (action != nullptr && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0)) {
            relevant = true;
        }
        udev_device_unref(device);
    }
    if (relevant) {
        emit changed();
    }
}

} // namespace qmx::link
