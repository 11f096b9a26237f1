#pragma once
// Hands input reports from the devices' reader threads to the user-interface thread, in arrival
// order, one at a time.
//
// Threads: push() and droppedMeasurements() may be called from any thread (readers push); the rest
// runs on the thread that owns the object (the user-interface thread). The queue and the counters
// are guarded by m_mutex. The owner is woken through an eventfd watched by a QSocketNotifier, so
// no report crosses threads through Qt's event queue and a reader never waits for the
// user-interface thread (a release can always join it).
//
// The queue is bounded: when the owner does not take reports (its thread is blocked), at most
// `measurementCapacity` measurement reports wait; for each one beyond, the oldest waiting
// measurement report is dropped and counted. Replies to requests and reader-failure notices are
// never dropped for measurements; they have a bound of their own, far above anything a transducer
// sends in answer to the program's requests, so that a device that floods them cannot make memory
// grow either.

#include <QObject>

#include <cstddef>
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
        /// Not a report: the device's reader stopped because the device failed. Comes after every
        /// report that device delivered.
        bool readerFailed = false;
    };
    /// Called on the owner's thread for each report, in arrival order.
    using Sink = std::function<void(const Report&)>;

    /// Measurement reports kept while the owner does not take them (40 s at 100 a second).
    static constexpr std::size_t kDefaultMeasurementCapacity = 4096;
    /// Other reports kept while the owner does not take them.
    static constexpr std::size_t kDefaultOtherCapacity = 16384;

    explicit ReportHandOff(Sink sink, QObject* parent = nullptr);
    ~ReportHandOff() override;
    ReportHandOff(const ReportHandOff&) = delete;
    ReportHandOff& operator=(const ReportHandOff&) = delete;

    /// Queues a report (any thread) and wakes the owner.
    void push(Report report);
    /// Hands every queued report to the sink (owner's thread). A call made while a report is
    /// being handled (a nested event loop) returns at once: the running call goes on in order.
    void drain();

    /// Changes the bounds (for tests; any thread).
    void setCapacity(std::size_t measurements, std::size_t others);
    /// Measurement reports dropped because the owner did not take them in time.
    std::uint64_t droppedMeasurements() const;
    /// Other reports dropped because more of them waited than their bound allows.
    std::uint64_t droppedOthers() const;
    /// Reports waiting now.
    std::size_t queued() const;

private:
    static bool isMeasurement(const Report& report);

    Sink m_sink;
    mutable std::mutex m_mutex;
    std::deque<Report> m_queue;
    std::size_t m_measurementsQueued = 0;
    std::size_t m_measurementCapacity = kDefaultMeasurementCapacity;
    std::size_t m_otherCapacity = kDefaultOtherCapacity;
    std::uint64_t m_droppedMeasurements = 0;
    std::uint64_t m_droppedOthers = 0;
    int m_wakeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    bool m_draining = false;
};

} // namespace qmx::link
