// When records are due: the three modes, the frame-count periods and the IN2 edge.

#include "recording/recorder/RecordTrigger.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qmx::recording;

namespace {

/// Runs `frames` frames and returns the 1-based numbers of the frames that asked for a record.
std::vector<int> recordedFrames(RecordTrigger& t, int frames, bool in2, RecordMode mode, std::uint32_t period,
                                int firstFrame = 1)
{
    std::vector<int> result;
    for (int i = 0; i < frames; ++i) {
        if (t.onFrame(in2, true, mode, period).record) {
            result.push_back(firstFrame + i);
        }
    }
    return result;
}

} // namespace

TEST(RecordTrigger, PeriodicModeRecordsEveryNthFrameAndCountsDownBetween)
{
    RecordTrigger t;
    std::vector<std::uint32_t> left;
    std::vector<int> records;
    for (int frame = 1; frame <= 30; ++frame) {
        const TriggerStep s = t.onFrame(false, true, RecordMode::Continuous, 10);
        ASSERT_TRUE(s.framesLeft);
        left.push_back(*s.framesLeft);
        if (s.record) {
            records.push_back(frame);
        }
    }
    EXPECT_EQ(records, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(std::vector<std::uint32_t>(left.begin(), left.begin() + 11),
              (std::vector<std::uint32_t>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 9}));
}

TEST(RecordTrigger, FastestSpeedRecordsEveryFrame)
{
    RecordTrigger t;
    EXPECT_EQ(recordedFrames(t, 5, false, RecordMode::Continuous, 1), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST(RecordTrigger, NoRunHoldsTheCounterAtZeroAndNothingIsDue)
{
    RecordTrigger t;
    recordedFrames(t, 7, false, RecordMode::Continuous, 10);
    EXPECT_EQ(t.frameCounter(), 7u);
    const TriggerStep idle = t.onFrame(true, false, RecordMode::Continuous, 10);
    EXPECT_FALSE(idle.record);
    EXPECT_FALSE(idle.framesLeft);
    EXPECT_EQ(t.frameCounter(), 0u);
    EXPECT_EQ(recordedFrames(t, 10, false, RecordMode::Continuous, 10), (std::vector<int>{10}))
        << "a new run counts a full period";
}

TEST(RecordTrigger, EdgeModeRecordsOncePerRisingEdgeOnItsFirstHighFrame)
{
    RecordTrigger t;
    recordedFrames(t, 3, false, RecordMode::In2Edge, 10);
    EXPECT_EQ(recordedFrames(t, 500, true, RecordMode::In2Edge, 10, 4), (std::vector<int>{4}));
    EXPECT_TRUE(recordedFrames(t, 20, false, RecordMode::In2Edge, 10).empty());
    EXPECT_EQ(recordedFrames(t, 2, true, RecordMode::In2Edge, 10), (std::vector<int>{1}));
    EXPECT_EQ(t.frameCounter(), 0u) << "the edge mode leaves the frame counter alone";
    EXPECT_FALSE(t.onFrame(true, true, RecordMode::In2Edge, 10).framesLeft) << "and the countdown label";
}

TEST(RecordTrigger, InputHighInTheVeryFirstFrameIsAnEdge)
{
    RecordTrigger t;
    EXPECT_TRUE(t.onFrame(true, true, RecordMode::In2Edge, 10).record);
}

TEST(RecordTrigger, InputAlreadyHighWhenTheRunStartsIsNoEdge)
{
    RecordTrigger t;
    t.onFrame(true, false, RecordMode::In2Edge, 10); // seen while no run was on
    EXPECT_FALSE(t.onFrame(true, true, RecordMode::In2Edge, 10).record);
    t.onFrame(false, true, RecordMode::In2Edge, 10);
    EXPECT_TRUE(t.onFrame(true, true, RecordMode::In2Edge, 10).record);
}

TEST(RecordTrigger, HighModeKeepsTheCountWhileInputIsLowAndResumesWhenHigh)
{
    RecordTrigger t;
    EXPECT_TRUE(recordedFrames(t, 4, true, RecordMode::In2High, 10).empty());
    EXPECT_EQ(t.frameCounter(), 4u);
    for (int i = 0; i < 50; ++i) {
        const TriggerStep s = t.onFrame(false, true, RecordMode::In2High, 10);
        ASSERT_FALSE(s.record);
        ASSERT_FALSE(s.framesLeft);
    }
    EXPECT_EQ(t.frameCounter(), 4u);
    EXPECT_EQ(recordedFrames(t, 12, true, RecordMode::In2High, 10), (std::vector<int>{6}))
        << "six more high frames complete the period";
}

TEST(RecordTrigger, ChangingSpeedOrModeMidRunKeepsTheCounter)
{
    RecordTrigger t;
    recordedFrames(t, 3, false, RecordMode::Continuous, 10);
    EXPECT_EQ(recordedFrames(t, 2, false, RecordMode::Continuous, 4), (std::vector<int>{1}))
        << "the fourth counted frame completes the new period";
    recordedFrames(t, 2, false, RecordMode::Continuous, 10);
    t.onFrame(true, true, RecordMode::In2Edge, 10);
    EXPECT_EQ(t.frameCounter(), 3u);
    EXPECT_EQ(recordedFrames(t, 8, true, RecordMode::In2High, 10), (std::vector<int>{7}));
}

TEST(RecordTrigger, LoweringThePeriodBelowTheCountRecordsAtOnceAndShowsNoNegativeTime)
{
    RecordTrigger t;
    recordedFrames(t, 500, false, RecordMode::Continuous, 6000);
    const TriggerStep s = t.onFrame(false, true, RecordMode::Continuous, 10);
    EXPECT_TRUE(s.record);
    EXPECT_EQ(s.framesLeft, 0u);
    EXPECT_EQ(t.frameCounter(), 0u);
}
