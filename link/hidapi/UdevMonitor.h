#pragma once
// Hot-plug notices for hidraw nodes from the udev monitor.
//
// Threads: lives on the thread that created it (the user-interface thread); the monitor's socket is
// watched by a QSocketNotifier there, so changed() is emitted on that thread. No locking needed.

#include <QObject>

#include <memory>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace qmx::link {

/// Emits changed() when a hidraw node is added or removed.
class UdevMonitor final : public QObject {
    Q_OBJECT
public:
    /// Starts watching; returns null when udev or its netlink monitor cannot be set up (a container
    /// without udev, for example), so that the caller can fall back to re-enumerating.
    static std::unique_ptr<UdevMonitor> create(QObject* parent = nullptr);
    ~UdevMonitor() override;

signals:
    /// A hidraw node was added or removed.
    void changed();

private:
    struct UdevUnref {
        void operator()(udev* handle) const;
    };
    struct MonitorUnref {
        void operator()(udev_monitor* handle) const;
    };
    using UdevHandle = std::unique_ptr<udev, UdevUnref>;
    using MonitorHandle = std::unique_ptr<udev_monitor, MonitorUnref>;

    UdevMonitor(UdevHandle context, MonitorHandle monitor, int fd, QObject* parent);
    void drainEvents();

    UdevHandle m_udev;
    MonitorHandle m_monitor; // released before m_udev: declared after it
    QSocketNotifier* m_notifier = nullptr; // child of this object
};

} // namespace qmx::link
