#include "link/HighResTimer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using qmx::link::HighResTimer;
using namespace std::chrono_literals;

namespace {

/// Waits until `done` holds or two seconds pass.
template <typename F>
bool eventually(F done)
{
    const auto until = std::chrono::steady_clock::now() + 2s;
    while (!done() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(1ms);
    }
    return done();
}

} // namespace

TEST(HighResTimer, IsStoppedUntilStartedAndFirstTickFollowsAFullPeriod)
{
    std::atomic<int> ticks{0};
    std::atomic<std::thread::id> tickThread{};
    HighResTimer timer(0.05, [&] {
        tickThread = std::this_thread::get_id();
        ++ticks;
    });
    EXPECT_FALSE(timer.isEnabled());
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(ticks.load(), 0);

    const auto started = std::chrono::steady_clock::now();
    timer.start();
    ASSERT_TRUE(eventually([&] { return ticks.load() >= 1; }));
    EXPECT_GE(std::chrono::steady_clock::now() - started, 50ms);
    EXPECT_NE(tickThread.load(), std::this_thread::get_id()); // ticks run on the worker
}

TEST(HighResTimer, StopMeansNoFurtherTick)
{
    std::atomic<int> ticks{0};
    HighResTimer timer(0.02, [&] { ++ticks; });
    timer.start();
    ASSERT_TRUE(eventually([&] { return ticks.load() >= 2; }));
    timer.stop();
    const int after = ticks.load();
    std::this_thread::sleep_for(100ms);
    EXPECT_LE(ticks.load(), after + 1); // at most a tick that was already running
    EXPECT_FALSE(timer.isEnabled());
}

TEST(HighResTimer, StartingARunningTimerDoesNotRestartItsPeriod)
{
    std::atomic<int> ticks{0};
    HighResTimer timer(0.06, [&] { ++ticks; });
    timer.start();
    // Keep calling start() more often than the period: a restart would postpone every tick.
    const auto until = std::chrono::steady_clock::now() + 300ms;
    while (std::chrono::steady_clock::now() < until) {
        timer.start();
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_GE(ticks.load(), 2);
}

TEST(HighResTimer, RestartAfterStopBeginsAFullPeriod)
{
    std::atomic<int> ticks{0};
    HighResTimer timer(0.2, [&] { ++ticks; });
    timer.start();
    std::this_thread::sleep_for(150ms);
    timer.stop();
    timer.start(); // a new full period from here: no tick at the old deadline
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(ticks.load(), 0);
    ASSERT_TRUE(eventually([&] { return ticks.load() >= 1; }));
}

TEST(HighResTimer, TickMayStopItsOwnTimer)
{
    std::atomic<int> ticks{0};
    HighResTimer* self = nullptr;
    HighResTimer timer(0.01, [&] {
        ++ticks;
        self->stop();
    });
    self = &timer;
    timer.start();
    ASSERT_TRUE(eventually([&] { return ticks.load() == 1 && !timer.isEnabled(); }));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ticks.load(), 1);
}
