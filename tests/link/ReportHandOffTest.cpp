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
