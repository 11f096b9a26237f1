// Sample store of the chart: appends across chunk boundaries, searches and min/max summaries.

#include "recording/chart/ChartData.h"

#include <gtest/gtest.h>

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

TEST(ChartData, StoresAPointInUnderFiveBytes)
{
    ChartData data;
    const std::size_t rows = 100 * ChartData::kChunkRows;
    for (std::size_t i = 0; i < rows; ++i) {
        data.append(static_cast<float>(i), {});
    }
    const double perPoint = static_cast<double>(data.memoryBytes()) / static_cast<double>(rows * kChartSeriesCount);
    EXPECT_LT(perPoint, 5.0);
}

} // namespace
} // namespace qmx::recording
