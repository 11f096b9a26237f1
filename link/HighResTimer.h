#pragma once
// A periodic timer whose ticks run on a worker thread of its own: it sleeps the period, then ticks,
// so the period is the sleep plus the time of the tick. Starting a stopped timer begins a full
// period; starting a running one changes nothing; stopping it means no further tick, and a sleep in
// progress is cut short.
//
// Threads: start(), stop(), setInterval() and isEnabled() may be called from any thread; they take
// m_mutex. The tick callback runs on the worker without the lock held, so it may call stop() or
// start() itself. The destructor stops the worker and joins it.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace qmx::link {

class HighResTimer {
public:
    using Tick = std::function<void()>;

    HighResTimer(double intervalSeconds, Tick tick);
    ~HighResTimer();
    HighResTimer(const HighResTimer&) = delete;
    HighResTimer& operator=(const HighResTimer&) = delete;

    /// Enables the timer; the first tick follows one full period later.
    void start();
    /// Disables the timer; no tick follows.
    void stop();
    bool isEnabled() const;
    /// Changes the period; a running timer keeps its current sleep and uses the new period after it.
    void setInterval(double seconds);
    double interval() const;
    /// Ticks run so far (for diagnostics and tests).
    unsigned long tickCount() const;

private:
    void run(std::stop_token stop);

    mutable std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::chrono::steady_clock::duration m_period;
    std::chrono::steady_clock::time_point m_deadline{};
    bool m_enabled = false;
    unsigned long m_generation = 0; // bumped by every start, so a stale sleep never ticks
    unsigned long m_ticks = 0;
    Tick m_tick;
    std::jthread m_worker;
};

} // namespace qmx::link
