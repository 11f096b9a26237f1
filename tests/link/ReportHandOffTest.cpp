#include "LinkTestSupport.h"

#include "link/ReportHandOff.h"

#include <gtest/gtest.h>

#include <thread>

using qmx::link::ReportHandOff;
using qmx::test::waitUntil;

TEST(ReportHandOff, ReportsArriveOnTheOwnersThreadInOrder)
{
    std::vector<std::pair<std::uint64_t, int>> seen;
    std::vector<std::thread::id> threads;
    ReportHandOff handOff([&](const ReportHandOff::Report& r) {
        seen.emplace_back(r.source, r.payload.at(0) | (r.payload.at(1) << 8));
        threads.push_back(std::this_thread::get_id());
    });
    constexpr int kPerReader = 2000;
    std::vector<std::thread> readers;
    for (std::uint64_t source = 1; source <= 2; ++source) {
        readers.emplace_back([&, source] {
            for (int i = 0; i < kPerReader; ++i) {
                handOff.push({source, 1, {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)}});
            }
        });
    }
    for (auto& t : readers) {
        t.join();
    }
    ASSERT_TRUE(waitUntil([&] { return seen.size() == 2 * kPerReader; }));
    std::array<int, 3> next{0, 0, 0};
    for (const auto& [source, n] : seen) {
        EXPECT_EQ(n, next[source]++); // each reader's reports in the order it read them
    }
    for (auto id : threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

TEST(ReportHandOff, ANestedDrainDoesNotOvertakeTheReportBeingHandled)
{
    std::vector<int> order;
    ReportHandOff* self = nullptr;
    ReportHandOff handOff([&](const ReportHandOff::Report& r) {
        order.push_back(r.payload.at(0));
        if (r.payload.at(0) == 0) {
            self->drain(); // as a modal box's event loop would
            order.push_back(-1);
        }
    });
    self = &handOff;
    for (std::uint8_t i = 0; i < 3; ++i) {
        handOff.push({1, 1, {i}});
    }
    handOff.drain();
    EXPECT_EQ(order, (std::vector<int>{0, -1, 1, 2}));
}

namespace {
ReportHandOff::Report measurementReport(int serial)
{
    return {1, 1, {0x01, static_cast<std::uint8_t>(serial), static_cast<std::uint8_t>(serial >> 8),
                   static_cast<std::uint8_t>(serial >> 16)}};
}
int serialOf(const ReportHandOff::Report& r)
{
    return r.payload.at(1) | (r.payload.at(2) << 8) | (r.payload.at(3) << 16);
}
} // namespace

TEST(ReportHandOff, WhileTheOwnerIsBlockedTheOldestMeasurementsAreDroppedAndRepliesKept)
{
    std::vector<ReportHandOff::Report> seen;
    ReportHandOff handOff([&](const ReportHandOff::Report& r) { seen.push_back(r); });
    handOff.setCapacity(100, 50);
    constexpr int kPushed = 100'000;
    // A reader keeps reading while the owner's thread takes nothing: the queue must stay bounded.
    std::thread reader([&] {
        for (int i = 0; i < kPushed; ++i) {
            handOff.push(measurementReport(i));
            if (i % 10'000 == 5'000) {
                handOff.push({1, 1, {0x02, static_cast<std::uint8_t>(i / 10'000)}}); // a settings reply
            }
        }
        handOff.push({1, 0, {}, true});
    });
    reader.join();
    EXPECT_LE(handOff.queued(), 100U + 10U + 1U);
    EXPECT_EQ(handOff.droppedMeasurements(), static_cast<std::uint64_t>(kPushed - 100));
    EXPECT_EQ(handOff.droppedOthers(), 0U);

    handOff.drain();
    ASSERT_EQ(seen.size(), 100U + 10U + 1U);
    std::vector<int> replies;
    std::vector<int> measurements;
    for (const auto& r : seen) {
        if (r.readerFailed) {
            EXPECT_EQ(&r, &seen.back()); // the failure notice still comes after every report
        } else if (r.payload.at(0) == 0x02) {
            replies.push_back(r.payload.at(1));
        } else {
            measurements.push_back(serialOf(r));
        }
    }
    EXPECT_EQ(replies, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9})); // every settings reply, in order
    ASSERT_EQ(measurements.size(), 100U);
    for (std::size_t i = 0; i < measurements.size(); ++i) {
        EXPECT_EQ(measurements[i], kPushed - 100 + static_cast<int>(i)); // the newest ones, in order
    }
}

TEST(ReportHandOff, AFloodOfUnrequestedRepliesIsBoundedToo)
{
    int handled = 0;
    ReportHandOff handOff([&](const ReportHandOff::Report&) { ++handled; });
    handOff.setCapacity(10, 20);
    for (int i = 0; i < 1000; ++i) {
        handOff.push({1, 1, {0x7F}});
    }
    EXPECT_EQ(handOff.queued(), 20U);
    EXPECT_EQ(handOff.droppedOthers(), 980U);
    handOff.drain();
    EXPECT_EQ(handled, 20);
    EXPECT_EQ(handOff.droppedMeasurements(), 0U);
}
