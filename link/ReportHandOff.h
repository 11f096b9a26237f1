#pragma once
// Hands input reports from the devices' reader threads to the user-interface thread, in arrival
// order, one at a time.
//
// Threads: push() is called by reader threads; everything else runs on the thread that owns the
// object (the user-interface thread). The queue is guarded by m_mutex. The owner is woken through
// an eventfd watched by a QSocketNotifier, so no report crosses threads through Qt's event queue
// and a reader never waits for the user-interface thread (a release can always join it).

#include <QObject>

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

class QSocketNotifier;

namespace qmx::link {

class ReportHandOff : public QObject {
    Q_OBJECT
public:
    /// One input report and the device it came from.
    struct Report {
        std::uint64_t source = 0; ///< identifies the device, never reused within a run
        std::uint8_t reportId = 0;
        std::vector<std::uint8_t> payload;
    };
    /// Called on the owner's thread for each report, in arrival order.
    using Sink = std::function<void(const Report&)>;

    explicit ReportHandOff(Sink sink, QObject* parent = nullptr);
    ~ReportHandOff() override;
    ReportHandOff(const ReportHandOff&) = delete;
    ReportHandOff& operator=(const ReportHandOff&) = delete;

    /// Queues a report (any thread) and wakes the owner.
    void push(Report report);
    /// Hands every queued report to the sink (owner's thread). A call made while a report is
    /// being handled (a nested event loop) returns at once: the running call goes on in order.
    void drain();

private:
    Sink m_sink;
    std::mutex m_mutex;
    std::deque<Report> m_queue;
    int m_wakeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    bool m_draining = false;
};

} // namespace qmx::link
