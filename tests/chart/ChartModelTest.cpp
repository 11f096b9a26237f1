// Run state of the live chart: tables, thresholds, value range, scrolling, reset, run indication.

#include "recording/chart/ChartModel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <tuple>

namespace qmx::recording {
namespace {

link::Measurement measurement(float c1, float c2, float c3, float c4, float sum)
{
    link::Measurement m;
    m.ChannelValue = {c1, c2, c3, c4};
    m.SumValue = sum;
    return m;
}

link::Measurement sumOnly(float sum)
{
    return measurement(0, 0, 0, 0, sum);
}

/// A monotonic clock the test moves by hand.
struct ManualClock {
    std::chrono::nanoseconds now{std::chrono::hours(5)}; // any start: only differences count

    MonotonicClock function()
    {
        return [this] { return now; };
    }
    void advanceSeconds(double seconds)
    {
        now += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::duration<double>(seconds));
    }
};

TEST(ChartTables, SamplingItemsGiveTheirPeriods)
{
    const std::array<double, kSamplingItemCount> expected{0.01, 0.02, 0.04, 0.1, 1.0, 60.0, 6.0, 360.0};
    for (int i = 0; i < kSamplingItemCount; ++i) {
        ASSERT_TRUE(samplingPeriodForIndex(i).has_value()) << i;
        EXPECT_DOUBLE_EQ(*samplingPeriodForIndex(i), expected[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_FALSE(samplingPeriodForIndex(-1));
    EXPECT_FALSE(samplingPeriodForIndex(kSamplingItemCount));
}

TEST(ChartTables, WindowItemsGiveWholeSeconds)
{
    const std::array<std::uint32_t, kWindowItemCount> expected{1, 10, 60, 300, 600, 1800, 3600};
    for (int i = 0; i < kWindowItemCount; ++i) {
        ASSERT_TRUE(chartWindowForIndex(i).has_value()) << i;
        EXPECT_EQ(*chartWindowForIndex(i), expected[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_FALSE(chartWindowForIndex(-1));
    EXPECT_FALSE(chartWindowForIndex(kWindowItemCount));
}

TEST(ChartModel, StartsIdleWithTheInitialPeriodAndNoWindow)
{
    ChartModel model;
    EXPECT_FALSE(model.running());
    EXPECT_DOUBLE_EQ(model.period(), 0.02);
    EXPECT_EQ(model.chartWindow(), 0U);
    EXPECT_FALSE(model.tick(sumOnly(1), true).appended);
}

TEST(ChartModel, OutOfRangeIndicesKeepPeriodAndWindow)
{
    ChartModel model;
    EXPECT_FALSE(model.applySamplingIndex(9));
    EXPECT_DOUBLE_EQ(model.period(), 0.02);
    model.applyWindowIndex(7);
    EXPECT_EQ(model.chartWindow(), 0U);
    // No window: the reset shows 0..1 and the view never scrolls.
    EXPECT_EQ(model.reset().bottom, (AxisRange{0.0, 1.0}));
    model.start();
    for (int i = 0; i < 100; ++i) {
        EXPECT_FALSE(model.tick(sumOnly(1), true).bottomRange);
    }
}

TEST(ChartModel, TenSecondWindowAtHundredPerSecondScrollsOncePastTenSeconds)
{
    ManualClock clock;
    ChartModel model(clock.function());
    model.applySamplingIndex(0);
    model.applyWindowIndex(1);
    EXPECT_EQ(model.reset().bottom, (AxisRange{0.0, 10.0}));
    model.start();
    for (int i = 0; i <= 1000; ++i) {
        const ChartTickResult r = model.tick(sumOnly(1), true);
        ASSERT_TRUE(r.appended);
        EXPECT_NEAR(r.x, i * 0.01, 1e-9) << i;
        EXPECT_FALSE(r.bottomRange) << "scrolled at x = " << r.x;
        clock.advanceSeconds(0.01);
    }
    const ChartTickResult r = model.tick(sumOnly(1), true); // x = 10.01
    ASSERT_TRUE(r.bottomRange);
    EXPECT_NEAR(r.bottomRange->upper, 10.01, 1e-9);
    EXPECT_NEAR(r.bottomRange->upper - r.bottomRange->lower, 10.0, 1e-9);
    EXPECT_NEAR(r.bottomRange->upper, static_cast<double>(r.x), 1e-6); // the newest row at the right edge
}

TEST(ChartModel, RowsSitAtTheMeasuredTimeWhateverTheTickJitter)
{
    // 100/s nominal, but the ticks come late by varying amounts, as on a busy machine: 3020 ticks
    // spread over 30.2 s must read 30.2 s on the axis, not 3020 x 0.01 s.
    ManualClock clock;
    ChartModel model(clock.function());
    model.applySamplingIndex(0);
    model.start();
    const double gaps[] = {0.0100, 0.0100, 0.0150, 0.0010, 0.0200, 0.0040};
    double expected = 0.0;
    ChartTickResult r = model.tick(sumOnly(1), true);
    EXPECT_EQ(r.x, 0.0) << "the first row after a reset is at 0";
    for (int i = 1; i < 3020; ++i) {
        const double gap = gaps[i % 6];
        clock.advanceSeconds(gap);
        expected += gap;
        r = model.tick(sumOnly(1), true);
        ASSERT_NEAR(r.x, expected, 1e-6) << i;
    }
    EXPECT_NEAR(r.x, 30.2 - 0.01, 0.02);
}

TEST(ChartModel, NeighbouringRowsStayApartAfterFortyEightHoursAtTheFastestRate)
{
    ManualClock clock;
    ChartModel model(clock.function());
    model.applySamplingIndex(0);
    model.start();
    EXPECT_EQ(model.tick(sumOnly(1), true).x, 0.0);
    clock.advanceSeconds(48.0 * 3600.0);
    const double late = model.tick(sumOnly(1), true).x;
    clock.advanceSeconds(0.01);
    const double next = model.tick(sumOnly(1), true).x;
    EXPECT_NEAR(late, 172800.0, 1e-6);
    EXPECT_NEAR(next - late, 0.01, 1e-6);
}

TEST(ChartModel, ChangingThePeriodKeepsRowsAtTheirMeasuredTimes)
{
    ManualClock clock;
    ChartModel model(clock.function());
    model.applySamplingIndex(4); // 1 s
    model.start();
    EXPECT_EQ(model.tick(sumOnly(1), true).x, 0.0);
    clock.advanceSeconds(1.0);
    EXPECT_NEAR(model.tick(sumOnly(1), true).x, 1.0, 1e-9);
    EXPECT_TRUE(model.applySamplingIndex(3)); // 0.1 s
    clock.advanceSeconds(0.1);
    EXPECT_NEAR(model.tick(sumOnly(1), true).x, 1.1, 1e-9);
    clock.advanceSeconds(0.1);
    EXPECT_NEAR(model.tick(sumOnly(1), true).x, 1.2, 1e-9);
}

TEST(ChartModel, TimeRunsOnThroughAPauseAndRestartsAtReset)
{
    ManualClock clock;
    ChartModel model(clock.function());
    model.start();
    clock.advanceSeconds(3.0); // the first row, not the Start button, starts the time
    EXPECT_EQ(model.tick(sumOnly(1), true).x, 0.0);
    model.pause();
    clock.advanceSeconds(20.0);
    EXPECT_FALSE(model.tick(sumOnly(1), true).appended);
    model.start();
    clock.advanceSeconds(0.5);
    EXPECT_NEAR(model.tick(sumOnly(1), true).x, 20.5, 1e-9) << "the paused stretch shows as a gap";
    model.reset();
    clock.advanceSeconds(7.0);
    EXPECT_EQ(model.tick(sumOnly(1), true).x, 0.0);
    clock.advanceSeconds(0.25);
    EXPECT_NEAR(model.tick(sumOnly(1), true).x, 0.25, 1e-9);
}

TEST(ChartModel, LeftAxisIncludesZeroBecauseTheRangeStartsThere)
{
    ChartModel model;
    model.start();
    const ChartTickResult r = model.tick(measurement(5, 5, 5, 5, 5), true);
    ASSERT_TRUE(r.leftRange);
    EXPECT_EQ(*r.leftRange, (AxisRange{-1.0, 6.0}));
}

TEST(ChartModel, HiddenSeriesIsCollectedButIgnoredByTheRange)
{
    ChartModel model;
    model.setActive(1, false);
    model.start();
    const ChartTickResult r = model.tick(measurement(0.2F, 1000, -0.1F, 0, 0.1F), true);
    ASSERT_TRUE(r.appended);
    EXPECT_FLOAT_EQ(r.values[1], 1000.0F);
    EXPECT_FLOAT_EQ(model.chartMax(), 0.2F);
    EXPECT_FLOAT_EQ(model.chartMin(), -0.1F);
    EXPECT_NEAR(r.leftRange->upper, 1.2, 1e-6);
    EXPECT_NEAR(r.leftRange->lower, -1.1, 1e-6);
}

TEST(ChartModel, RangeGrowsOnlyAndResetClearsIt)
{
    ChartModel model;
    model.start();
    model.tick(measurement(-3, 0, 0, 0, 7), true);
    model.tick(measurement(1, 0, 0, 0, 2), true);
    EXPECT_FLOAT_EQ(model.chartMin(), -3.0F);
    EXPECT_FLOAT_EQ(model.chartMax(), 7.0F);
    const ChartResetView view = model.reset();
    EXPECT_EQ(view.left, (AxisRange{-1.0, 1.0}));
    EXPECT_FLOAT_EQ(model.chartMin(), 0.0F);
    EXPECT_FLOAT_EQ(model.chartMax(), 0.0F);
}

TEST(ChartModel, NonFiniteValuesArePlottedAsGapsAndLeaveTheRangeAlone)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    ChartModel model;
    model.start();
    const ChartTickResult r = model.tick(measurement(nan, inf, -inf, 4, 2), true);
    ASSERT_TRUE(r.appended);
    EXPECT_TRUE(std::isnan(r.values[0]));
    EXPECT_EQ(*r.leftRange, (AxisRange{-1.0, 5.0}));
}

TEST(ChartModel, ResetRestartsTimeButKeepsRunning)
{
    ChartModel model;
    model.applyWindowIndex(0);
    model.start();
    for (int i = 0; i < 5; ++i) {
        model.tick(sumOnly(1), true);
    }
    EXPECT_EQ(model.reset().bottom, (AxisRange{0.0, 1.0}));
    EXPECT_TRUE(model.running());
    EXPECT_EQ(model.tick(sumOnly(1), true).x, 0.0);
}

// Auto control on channel "SUMA" with thresholds 50 and 10: (sum, running before) -> running after.
class AutoStartStop : public ::testing::TestWithParam<std::tuple<float, bool, bool>> {};

TEST_P(AutoStartStop, DecidesAroundTheThresholds)
{
    const auto [sum, runningBefore, runningAfter] = GetParam();
    ChartModel model;
    model.setAutoEnabled(true);
    model.setAutoChannel(kAutoChannelSum);
    if (runningBefore) {
        model.start();
    } else {
        model.pause();
    }
    const ChartTickResult r = model.tick(sumOnly(sum), true);
    EXPECT_EQ(model.running(), runningAfter);
    EXPECT_EQ(r.appended, runningAfter);
    ASSERT_TRUE(r.watchedValue);
    EXPECT_TRUE(*r.watchedValue == sum || (std::isnan(sum) && std::isnan(*r.watchedValue)));
    // The status field and header keep what the last button showed.
    EXPECT_EQ(model.statusOn(), runningBefore);
    EXPECT_EQ(model.headerOn(), runningBefore);
}

INSTANTIATE_TEST_SUITE_P(
    ChartModel, AutoStartStop,
    ::testing::Values(std::make_tuple(30.0F, true, true),    // between: keeps plotting after Start
                      std::make_tuple(30.0F, false, false),  // between: stays paused
                      std::make_tuple(60.0F, false, true),   // above start: starts even after Pause
                      std::make_tuple(50.0F, false, false),  // exactly start: not above it
                      std::make_tuple(5.0F, true, false),    // below stop: stops
                      std::make_tuple(10.0F, true, true),    // exactly stop: does not stop
                      std::make_tuple(10.0F, false, false),  // exactly stop: does not start
                      std::make_tuple(std::numeric_limits<float>::quiet_NaN(), true, false)));

TEST(ChartModel, AutoControlWatchesTheChosenChannel)
{
    ChartModel model;
    model.setAutoEnabled(true);
    model.setAutoChannel(2); // channel 3
    const ChartTickResult r = model.tick(measurement(100, 100, 7, 100, 100), true);
    EXPECT_FLOAT_EQ(*r.watchedValue, 7.0F);
    EXPECT_FALSE(model.running());
    model.setAutoChannel(3);
    EXPECT_TRUE(model.tick(measurement(0, 0, 0, 51, 0), true).appended);
}

TEST(ChartModel, AutoControlOffWatchesNothing)
{
    ChartModel model;
    EXPECT_FALSE(model.tick(sumOnly(100), true).watchedValue);
    EXPECT_FALSE(model.running());
}

TEST(ChartModel, LostLinkStopsPlottingAndTurnsOnlyTheStatusOff)
{
    ChartModel model;
    model.start();
    const ChartTickResult r = model.tick(sumOnly(1), false);
    EXPECT_TRUE(r.stoppedByLink);
    EXPECT_FALSE(r.appended);
    EXPECT_FALSE(model.running());
    EXPECT_FALSE(model.statusOn());
    EXPECT_TRUE(model.headerOn());
    // It stays stopped when the link returns...
    EXPECT_FALSE(model.tick(sumOnly(1), true).appended);
    // ...unless the auto start fires.
    model.setAutoEnabled(true);
    model.setAutoChannel(kAutoChannelSum);
    EXPECT_TRUE(model.tick(sumOnly(60), true).appended);
}

TEST(ChartModel, PausedTickWithLinkDownReportsNothing)
{
    ChartModel model;
    EXPECT_FALSE(model.tick(sumOnly(1), false).stoppedByLink);
}

TEST(ChartModel, StartAndPauseSetBothIndicators)
{
    ChartModel model;
    model.start();
    EXPECT_TRUE(model.running());
    EXPECT_TRUE(model.statusOn());
    EXPECT_TRUE(model.headerOn());
    model.pause();
    EXPECT_FALSE(model.running());
    EXPECT_FALSE(model.statusOn());
    EXPECT_FALSE(model.headerOn());
}

} // namespace
} // namespace qmx::recording
