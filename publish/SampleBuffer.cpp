#include "SampleBuffer.h"

#include <algorithm>

namespace qmx::publish {

bool RateLimiter::admit(qint64 msSinceEpoch)
{
    const auto t = static_cast<double>(msSinceEpoch);
    if (m_started && t < m_nextDueMs) {
        return false;
    }
    m_nextDueMs = m_started ? std::max(m_nextDueMs + m_periodMs, t) : t + m_periodMs;
    if (m_nextDueMs <= t) {
        m_nextDueMs = t + m_periodMs; // far behind the grid: it starts again from here
    }
    m_started = true;
    return true;
}

SampleBuffer::SampleBuffer(std::size_t capacity) : m_capacity(std::max<std::size_t>(capacity, 1)) {}

void SampleBuffer::push(const Sample& sample)
{
    const std::lock_guard lock(m_mutex);
    if (m_samples.size() >= m_capacity) {
        m_samples.pop_front();
        ++m_dropped;
    }
    m_samples.push_back(sample);
}

std::vector<Sample> SampleBuffer::take(std::size_t max)
{
    const std::lock_guard lock(m_mutex);
    const std::size_t n = std::min(max, m_samples.size());
    std::vector<Sample> out(m_samples.begin(), m_samples.begin() + static_cast<std::ptrdiff_t>(n));
    m_samples.erase(m_samples.begin(), m_samples.begin() + static_cast<std::ptrdiff_t>(n));
    return out;
}

std::vector<Sample> SampleBuffer::takeSecond(qint64 nowMs, bool force)
{
    const std::lock_guard lock(m_mutex);
    if (m_samples.empty()) {
        return {};
    }
    const auto secondOf = [](const Sample& s) { return s.msSinceEpoch / 1000; };
    const qint64 first = secondOf(m_samples.front());
    const auto end = std::find_if(m_samples.begin(), m_samples.end(), [&](const Sample& s) { return secondOf(s) != first; });
    if (end == m_samples.end() && !force && nowMs < (first + 1) * 1000 + 500) {
        return {};
    }
    std::vector<Sample> out(m_samples.begin(), end);
    m_samples.erase(m_samples.begin(), end);
    return out;
}

void SampleBuffer::putBack(const std::vector<Sample>& samples)
{
    const std::lock_guard lock(m_mutex);
    // Newer measurements that arrived meanwhile keep their place; the oldest of those put back
    // give way when there is not room for all.
    const std::size_t room = m_capacity - std::min(m_capacity, m_samples.size());
    const std::size_t keep = std::min(room, samples.size());
    m_dropped += samples.size() - keep;
    m_samples.insert(m_samples.begin(), samples.end() - static_cast<std::ptrdiff_t>(keep), samples.end());
}

std::size_t SampleBuffer::size() const
{
    const std::lock_guard lock(m_mutex);
    return m_samples.size();
}

std::uint64_t SampleBuffer::dropped() const
{
    const std::lock_guard lock(m_mutex);
    return m_dropped;
}

} // namespace qmx::publish
