// Sample store of the chart: appends across chunk boundaries, searches and min/max summaries.

#include "recording/chart/ChartData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace qmx::recording {
namespace {

ValueSpan bruteForce(const ChartData& data, int series, std::size_t first, std::size_t last)
{
    ValueSpan span;
    for (std::size_t row = first; row < last; ++row) {
        span.add(data.y(series, row));
    }
    return span;
}

void fill(ChartData& data, std::size_t rows, std::mt19937& rng, double nanShare = 0.0)
{
    std::normal_distribution<float> value(0.0F, 100.0F);
    std::uniform_real_distribution<double> coin(0.0, 1.0);
    for (std::size_t i = 0; i < rows; ++i) {
        ChartValues v{};
        for (auto& x : v) {
            x = coin(rng) < nanShare ? std::numeric_limits<float>::quiet_NaN() : value(rng);
        }
        data.append(static_cast<float>(i) * 0.5F, v);
    }
}

TEST(ChartData, RowsReadBackAcrossChunkBoundaries)
{
    ChartData data;
    const std::size_t rows = 2 * ChartData::kChunkRows + 3;
    for (std::size_t i = 0; i < rows; ++i) {
        const auto f = static_cast<float>(i);
        data.append(f, {f, -f, f * 2, 1, f + 0.5F});
    }
    ASSERT_EQ(data.size(), rows);
    for (std::size_t row : {std::size_t{0}, ChartData::kChunkRows - 1, ChartData::kChunkRows,
                            2 * ChartData::kChunkRows, rows - 1}) {
        const auto f = static_cast<float>(row);
        EXPECT_EQ(data.x(row), f);
        EXPECT_EQ(data.y(0, row), f);
        EXPECT_EQ(data.y(1, row), -f);
        EXPECT_EQ(data.y(4, row), f + 0.5F);
    }
}

TEST(ChartData, ClearEmptiesTheStore)
{
    ChartData data;
    data.append(1, {1, 2, 3, 4, 5});
    data.clear();
    EXPECT_TRUE(data.empty());
    EXPECT_TRUE(data.span(0, 0, 10).empty());
    EXPECT_EQ(data.lowerBound(0.0), 0U);
    data.append(0, {7, 7, 7, 7, 7});
    EXPECT_EQ(data.y(2, 0), 7.0F);
    EXPECT_EQ(data.span(2, 0, 1).max, 7.0F);
}

TEST(ChartData, BoundsFindRowsByTime)
{
    ChartData data;
    const std::size_t rows = ChartData::kChunkRows * 3;
    for (std::size_t i = 0; i < rows; ++i) {
        data.append(static_cast<float>(i / 2), {}); // every time twice
    }
    EXPECT_EQ(data.lowerBound(-1.0), 0U);
    EXPECT_EQ(data.lowerBound(0.0), 0U);
    EXPECT_EQ(data.upperBound(0.0), 2U);
    EXPECT_EQ(data.lowerBound(2048.0), 4096U); // first row of the second chunk
    EXPECT_EQ(data.upperBound(2047.0), 4096U);
    EXPECT_EQ(data.lowerBound(2047.5), 4096U);
    EXPECT_EQ(data.lowerBound(1e9), rows);
    EXPECT_EQ(data.upperBound(static_cast<double>(rows)), rows);
}

TEST(ChartData, SpanMatchesBruteForceOnRandomRanges)
{
    std::mt19937 rng(1234);
    ChartData data;
    fill(data, 5 * ChartData::kChunkRows + 777, rng, 0.01);
    std::uniform_int_distribution<std::size_t> pick(0, data.size());
    for (int i = 0; i < 2000; ++i) {
        std::size_t a = pick(rng);
        std::size_t b = pick(rng);
        if (a > b) {
            std::swap(a, b);
        }
        const int series = i % kChartSeriesCount;
        const ValueSpan expected = bruteForce(data, series, a, b);
        const ValueSpan got = data.span(series, a, b);
        ASSERT_EQ(got.empty(), expected.empty()) << a << ".." << b;
        if (!expected.empty()) {
            ASSERT_EQ(got.min, expected.min) << a << ".." << b;
            ASSERT_EQ(got.max, expected.max) << a << ".." << b;
        }
    }
}

TEST(ChartData, SpanOnBlockAndChunkEdges)
{
    std::mt19937 rng(99);
    ChartData data;
    fill(data, 3 * ChartData::kChunkRows, rng);
    const std::size_t b = ChartData::kBlockRows;
    const std::size_t c = ChartData::kChunkRows;
    const std::pair<std::size_t, std::size_t> ranges[] = {
        {0, 1}, {0, b}, {b - 1, b + 1}, {b, 2 * b}, {0, c}, {c - 1, c + 1}, {c, 2 * c}, {1, 3 * c - 1}, {0, 3 * c}, {5, 5}};
    for (const auto& [first, last] : ranges) {
        for (int s = 0; s < kChartSeriesCount; ++s) {
            const ValueSpan expected = bruteForce(data, s, first, last);
            const ValueSpan got = data.span(s, first, last);
            ASSERT_EQ(got.empty(), expected.empty());
            if (!expected.empty()) {
                EXPECT_EQ(got.min, expected.min) << first << ".." << last;
                EXPECT_EQ(got.max, expected.max) << first << ".." << last;
            }
        }
    }
}

TEST(ChartData, NonFiniteValuesAreStoredButLeftOutOfSpans)
{
    ChartData data;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    data.append(0, {nan, inf, 1, 0, 0});
    data.append(1, {nan, 3, -inf, 0, 0});
    EXPECT_TRUE(std::isnan(data.y(0, 0)));
    EXPECT_TRUE(data.span(0, 0, 2).empty());
    EXPECT_EQ(data.span(1, 0, 2).min, 3.0F);
    EXPECT_EQ(data.span(1, 0, 2).max, 3.0F);
    EXPECT_EQ(data.span(2, 0, 2).min, 1.0F);
}

TEST(ChartData, StoresAPointInUnderSixBytes)
{
    // 8 bytes of time per row (double) and 4 per value: 28 bytes per row of five points, plus the
    // min/max summaries.
    ChartData data;
    const std::size_t rows = 100 * ChartData::kChunkRows;
    for (std::size_t i = 0; i < rows; ++i) {
        data.append(static_cast<float>(i), {});
    }
    const double perPoint = static_cast<double>(data.memoryBytes()) / static_cast<double>(rows * kChartSeriesCount);
    EXPECT_LT(perPoint, 6.0);
}

TEST(ChartData, TimesOfNeighbouringRowsStayApartAfterFortyEightHours)
{
    ChartData data;
    const double late = 48.0 * 3600.0;
    data.append(late, {});
    data.append(late + 0.01, {});
    EXPECT_EQ(data.x(0), late);
    EXPECT_NEAR(data.x(1) - data.x(0), 0.01, 1e-9);
    EXPECT_EQ(data.upperBound(late), 1U);
    EXPECT_EQ(data.lowerBound(late + 0.005), 1U);
}

TEST(ChartData, KeepsTheLastTwentyFourHoursAndDropsOlderRowsInWholeChunks)
{
    // One row every 20 s: a chunk spans about 22.8 h, so three days fill four chunks.
    constexpr double kSpacing = 20.0;
    const double chunkSpan = kSpacing * static_cast<double>(ChartData::kChunkRows);
    ChartData data;
    const std::size_t rows = 3 * 24 * 3600 / 20 + 1;
    std::size_t peakBytes = 0;
    for (std::size_t i = 0; i < rows; ++i) {
        const auto v = static_cast<float>(i);
        data.append(static_cast<double>(i) * kSpacing, {v, v, v, v, v});
        peakBytes = std::max(peakBytes, data.memoryBytes());
    }
    const double newest = static_cast<double>(rows - 1) * kSpacing;
    const double day = 24.0 * 3600.0;
    ASSERT_GT(data.droppedRows(), 0U);
    EXPECT_EQ(data.droppedRows() % ChartData::kChunkRows, 0U) << "whole chunks only";
    EXPECT_EQ(data.droppedRows() + data.size(), rows);
    // Every row of the last 24 hours is kept; of the older ones, no more than one chunk.
    EXPECT_LE(data.x(0), newest - day);
    EXPECT_GE(data.x(ChartData::kChunkRows - 1), newest - day);
    EXPECT_GT(data.x(0), newest - day - chunkSpan);
    // The rows kept read back, search and summarise as before the drop.
    const std::size_t first = data.droppedRows();
    EXPECT_EQ(data.y(2, 0), static_cast<float>(first));
    EXPECT_EQ(data.y(4, data.size() - 1), static_cast<float>(rows - 1));
    EXPECT_EQ(data.lowerBound(data.x(0)), 0U);
    EXPECT_EQ(data.lowerBound(newest), data.size() - 1);
    const ValueSpan all = data.span(0, 0, data.size());
    EXPECT_EQ(all.min, static_cast<float>(first));
    EXPECT_EQ(all.max, static_cast<float>(rows - 1));
    // Memory stays within the day plus two chunks.
    EXPECT_LE(peakBytes, 4 * ChartData::kChunkRows * 30 + 4096);
}

TEST(ChartData, AnAgeLimitBoundsMemoryAtTheFastestRate)
{
    ChartData data;
    data.setMaxAgeSeconds(100.0);
    std::size_t bytesAfterWarmUp = 0;
    for (std::size_t i = 0; i < 100'000; ++i) { // 1000 s at 100 rows a second
        data.append(static_cast<double>(i) * 0.01, {});
        if (i == 20'000) {
            bytesAfterWarmUp = data.memoryBytes();
        }
    }
    EXPECT_LT(data.size(), 10'000 + 2 * ChartData::kChunkRows);
    EXPECT_GE(data.size(), 10'000U);
    EXPECT_LE(data.memoryBytes(), bytesAfterWarmUp + 2 * 128 * 1024);
    // The oldest chunk kept still holds rows within the limit.
    EXPECT_GE(data.x(ChartData::kChunkRows - 1), 999.99 - 100.0);
    EXPECT_LT(data.x(0), 999.99 - 100.0);
}

TEST(ChartData, TheChunkBeingFilledIsNeverDropped)
{
    ChartData data;
    data.setMaxAgeSeconds(60.0);
    data.append(0.0, {});
    data.append(3600.0, {}); // one row per hour: both rows share the first chunk
    EXPECT_EQ(data.size(), 2U);
    EXPECT_EQ(data.droppedRows(), 0U);
}

} // namespace
} // namespace qmx::recording
