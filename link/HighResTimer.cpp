#include "HighResTimer.h"

namespace qmx::link {

namespace {
std::chrono::steady_clock::duration toDuration(double seconds)
{
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
}
} // namespace

HighResTimer::HighResTimer(double intervalSeconds, Tick tick)
    : m_period(toDuration(intervalSeconds)), m_tick(std::move(tick))
{
    m_worker = std::jthread([this](std::stop_token st) { run(st); });
}

HighResTimer::~HighResTimer()
{
    m_worker.request_stop();
    m_wake.notify_all();
}

void HighResTimer::start()
{
    std::lock_guard lock(m_mutex);
    if (m_enabled) {
        return;
    }
    m_enabled = true;
    ++m_generation;
    m_deadline = std::chrono::steady_clock::now() + m_period;
    m_wake.notify_all();
}

void HighResTimer::stop()
{
    std::lock_guard lock(m_mutex);
    m_enabled = false;
    m_wake.notify_all();
}

bool HighResTimer::isEnabled() const
{
    std::lock_guard lock(m_mutex);
    return m_enabled;
}

void HighResTimer::setInterval(double seconds)
{
    std::lock_guard lock(m_mutex);
    m_period = toDuration(seconds);
}

double HighResTimer::interval() const
{
    std::lock_guard lock(m_mutex);
    return std::chrono::duration<double>(m_period).count();
}

unsigned long HighResTimer::tickCount() const
{
    std::lock_guard lock(m_mutex);
    return m_ticks;
}

void HighResTimer::run(std::stop_token stop)
{
    std::unique_lock lock(m_mutex);
    while (!stop.stop_requested()) {
        if (!m_enabled) {
            m_wake.wait(lock, stop, [this] { return m_enabled; });
            continue;
        }
        const auto generation = m_generation;
        const auto deadline = m_deadline;
        const bool interrupted = m_wake.wait_until(lock, stop, deadline, [&] {
            return !m_enabled || m_generation != generation || m_deadline != deadline;
        });
        if (interrupted || stop.stop_requested() || std::chrono::steady_clock::now() < deadline) {
            continue;
        }
        ++m_ticks;
        lock.unlock();
        m_tick();
        lock.lock();
        if (m_enabled && m_generation == generation) {
            m_deadline = std::chrono::steady_clock::now() + m_period;
        }
    }
}

} // namespace qmx::link
