#include "ReportHandOff.h"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

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

void ReportHandOff::push(Report report)
{
    bool wasEmpty = false;
    {
        std::lock_guard lock(m_mutex);
        wasEmpty = m_queue.empty();
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
        }
        m_sink(report);
    }
    m_draining = false;
}

} // namespace qmx::link
