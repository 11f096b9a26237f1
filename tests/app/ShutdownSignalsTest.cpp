// Signals that ask the program to end arrive through the event loop; asked twice, the program ends.

#include "process/ShutdownSignals.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <vector>

namespace {

using qmx::process::ShutdownSignals;

/// Runs the event loop until `shutdown` has seen `count` requests (or a generous limit passed).
std::vector<int> takeRequests(ShutdownSignals& shutdown, std::size_t count)
{
    std::vector<int> received;
    QEventLoop loop;
    const auto connection = QObject::connect(&shutdown, &ShutdownSignals::shutdownRequested, [&](int n) {
        received.push_back(n);
        if (received.size() >= count) {
            loop.quit();
        }
    });
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return received;
}

/// Keeps a signal's disposition for the test and puts the earlier one back afterwards.
class SavedDisposition {
public:
    explicit SavedDisposition(int signalNumber) : m_signal(signalNumber) { ::sigaction(m_signal, nullptr, &m_saved); }
    ~SavedDisposition() { ::sigaction(m_signal, &m_saved, nullptr); }
    SavedDisposition(const SavedDisposition&) = delete;
    SavedDisposition& operator=(const SavedDisposition&) = delete;

private:
    int m_signal;
    struct sigaction m_saved {};
};

class ShutdownSignal : public ::testing::TestWithParam<int> {};

TEST_P(ShutdownSignal, ArrivesThroughTheEventLoopAndNotBefore)
{
    const SavedDisposition keep(GetParam());
    ::signal(GetParam(), SIG_DFL);
    ShutdownSignals shutdown;
    ASSERT_TRUE(shutdown.catches(GetParam()));
    ::raise(GetParam());
    // The handler only notes the signal; nothing happens until the event loop takes it.
    EXPECT_FALSE(shutdown.requested());
    EXPECT_EQ(takeRequests(shutdown, 1), std::vector<int>{GetParam()});
    EXPECT_TRUE(shutdown.requested());
}

INSTANTIATE_TEST_SUITE_P(Each, ShutdownSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST(ShutdownSignals, DifferentSignalsInARowBothCloseInOrder)
{
    // A logout sends SIGTERM and SIGHUP one right after the other: both are orderly requests.
    const SavedDisposition keepTerm(SIGTERM);
    const SavedDisposition keepHangUp(SIGHUP);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
    ShutdownSignals shutdown({SIGTERM, SIGHUP});
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    EXPECT_EQ(takeRequests(shutdown, 2), (std::vector<int>{SIGTERM, SIGHUP}));
}

TEST(ShutdownSignalsDeathTest, TheSameSignalTwiceEndsTheProcessAtOnce)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ShutdownSignals shutdown({SIGINT});
            ::raise(SIGINT);
            ::raise(SIGINT);
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "");
}

TEST(ShutdownSignals, ASignalIgnoredFromTheStartStaysIgnored)
{
    // nohup and background jobs of scripts start a program with these signals ignored.
    const SavedDisposition keep(SIGHUP);
    ::signal(SIGHUP, SIG_IGN);
    {
        ShutdownSignals shutdown({SIGHUP, SIGTERM});
        EXPECT_FALSE(shutdown.catches(SIGHUP));
        EXPECT_TRUE(shutdown.catches(SIGTERM));
        ::raise(SIGHUP);
        ::raise(SIGTERM);
        EXPECT_EQ(takeRequests(shutdown, 1), std::vector<int>{SIGTERM});
    }
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
}

extern "C" void markerHandler(int) {}

TEST(ShutdownSignals, TheEarlierHandlersComeBack)
{
    const SavedDisposition keep(SIGTERM);
    ::signal(SIGTERM, markerHandler);
    {
        ShutdownSignals shutdown({SIGTERM});
        struct sigaction during {};
        ::sigaction(SIGTERM, nullptr, &during);
        EXPECT_NE(during.sa_handler, markerHandler);
    }
    struct sigaction after {};
    ::sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, markerHandler);
    // A new object starts afresh: one signal is again an orderly request, not a second one.
    ShutdownSignals again({SIGTERM});
    ::raise(SIGTERM);
    EXPECT_EQ(takeRequests(again, 1), std::vector<int>{SIGTERM});
}

TEST(ShutdownSignals, OnlyOneObjectAtATime)
{
    ShutdownSignals first({SIGTERM});
    EXPECT_THROW(ShutdownSignals second({SIGTERM}), std::logic_error);
}

} // namespace
