// The tool's wait loop: it sleeps in the event loop between events instead of polling, and wakes
// for a timer, a signal or its own deadline.

#include "process/ShutdownSignals.h"
#include "cli/CliSession.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(WaitLoop, SleepsWhileNothingHappens)
{
    // With nothing pending the condition is looked at only when something wakes the loop: at the
    // start and at the deadline, not thousands of times as a polling loop would.
    int checks = 0;
    const bool done = qmx::cli::runUntil(
        [&] {
            ++checks;
            return false;
        },
        200);
    EXPECT_FALSE(done);
    EXPECT_LE(checks, 10);
}

TEST(WaitLoop, ATimerWakesIt)
{
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    EXPECT_TRUE(qmx::cli::runUntil([&] { return fired; }, 20000));
}

TEST(WaitLoop, AShutdownSignalWakesIt)
{
    ::signal(SIGTERM, SIG_DFL); // in case the runner started the tests with it ignored
    const qmx::process::ShutdownSignals shutdown({SIGTERM});
    ::raise(SIGTERM);
    EXPECT_TRUE(qmx::cli::runUntil([&] { return shutdown.requested(); }, 20000));
}

} // namespace
