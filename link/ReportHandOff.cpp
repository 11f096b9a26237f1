#include "ReportHandOff.h"

#include "Protocol.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace qmx::link {

ReportHandOff::ReportHandOff(Sink sink, QObject* parent)
    : QObject(parent), m_sink(std::move(sink)), m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_wakeFd < 0) {
        throw std::runtime_error("cannot create the report wake-up descriptor");
    }
    m_notifier = new QSocketNotifier(m_wakeFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        std::uint64_t count = 0;
        (void)::read(m_wakeFd, &count, sizeof count); // clears the counter
        drain();
    });
}

ReportHandOff::~ReportHandOff()
{
    delete m_notifier;
    ::close(m_wakeFd);
}

bool ReportHandOff::isMeasurement(const Report& report)
{
    return !report.readerFailed && !report.payload.empty() && report.payload[0] == CMD_GET_MEASUREMENT;
}

void ReportHandOff::push(Report report)
{
    bool wasEmpty = false;
    {
        std::lock_guard lock(m_mutex);
        wasEmpty = m_queue.empty();
        if (isMeasurement(report)) {
            if (m_measurementsQueued >= m_measurementCapacity) {
                // The owner is behind: the oldest measurement is worth least, so it goes first.
                const auto oldest = std::find_if(m_queue.begin(), m_queue.end(), isMeasurement);
                if (oldest != m_queue.end()) {
                    m_queue.erase(oldest);
                    --m_measurementsQueued;
                }
                ++m_droppedMeasurements;
                if (m_measurementCapacity == 0) {
                    return;
                }
            }
            ++m_measurementsQueued;
        } else if (!report.readerFailed && m_queue.size() - m_measurementsQueued >= m_otherCapacity) {
            // Only a device that floods unrequested replies gets here; the queue stays bounded.
            ++m_droppedOthers;
            return;
        }
        m_queue.push_back(std::move(report));
    }
    if (wasEmpty) {
        const std::uint64_t one = 1;
        (void)::write(m_wakeFd, &one, sizeof one);
    }
}

void ReportHandOff::drain()
{
    if (m_draining) {
        return;
    }
    m_draining = true;
    for (;;) {
        Report report;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty()) {
                break;
            }
            report = std::move(m_queue.front());
            m_queue.pop_front();
            if (isMeasurement(report)) {
                --m_measurementsQueued;
            }
        }
        m_sink(report);
    }
    m_draining = false;
}

void ReportHandOff::setCapacity(std::size_t measurements, std::size_t others)
{
    std::lock_guard lock(m_mutex);
    m_measurementCapacity = measurements;
    m_otherCapacity = others;
}

std::uint64_t ReportHandOff::droppedMeasurements() const
{
    std::lock_guard lock(m_mutex);
    return m_droppedMeasurements;
}

std::uint64_t ReportHandOff::droppedOthers() const
{
    std::lock_guard lock(m_mutex);
    return m_droppedOthers;
}

std::size_t ReportHandOff::queued() const
{
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

} // namespace qmx::link
