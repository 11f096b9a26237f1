// Statistics and cursor readings from the store's summaries, against a direct computation over
// the rows themselves.

#include "recording/review/ReviewStatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

using namespace qmx::recording;

namespace {

struct Direct {
    std::int64_t count = 0;
    double min = 0, max = 0, mean = 0, stdDev = 0;
};

Direct direct(const std::vector<float>& v, std::size_t first, std::size_t last)
{
    Direct d;
    double sum = 0;
    d.min = std::numeric_limits<double>::infinity();
    d.max = -d.min;
    for (std::size_t i = first; i < last; ++i) {
        if (std::isfinite(v[i])) {
            ++d.count;
            sum += v[i];
            d.min = std::min<double>(d.min, v[i]);
            d.max = std::max<double>(d.max, v[i]);
        }
    }
    if (d.count == 0) {
        return d;
    }
    d.mean = sum / static_cast<double>(d.count);
    double sq = 0;
    for (std::size_t i = first; i < last; ++i) {
        if (std::isfinite(v[i])) {
            sq += (v[i] - d.mean) * (v[i] - d.mean);
        }
    }
    d.stdDev = d.count > 1 ? std::sqrt(sq / static_cast<double>(d.count - 1)) : 0.0;
    return d;
}

} // namespace

TEST(ReviewStatistics, MatchDirectComputationOverRandomRangesWithGaps)
{
    std::mt19937 rng(1234);
    // A large offset with a small spread: sums of squares would lose the spread, the merged
    // moments must not.
    std::normal_distribution<float> noise(0.0F, 0.01F);
    std::uniform_real_distribution<float> wide(-500.0F, 500.0F);
    ChartData data;
    const std::size_t rows = 3 * ChartData::kChunkRows + 1234;
    std::vector<std::vector<float>> columns(kChartSeriesCount, std::vector<float>(rows));
    for (std::size_t r = 0; r < rows; ++r) {
        ChartValues v{};
        v[0] = 10000.0F + noise(rng);
        v[1] = wide(rng);
        v[2] = (r % 97 == 0) ? std::numeric_limits<float>::quiet_NaN() : wide(rng);
        v[3] = (r / 500) % 3 == 1 ? std::numeric_limits<float>::quiet_NaN() : 1.0F; // long gaps
        v[4] = (r % 13 == 0) ? std::numeric_limits<float>::infinity() : noise(rng);
        for (int s = 0; s < kChartSeriesCount; ++s) {
            columns[static_cast<std::size_t>(s)][r] = v[static_cast<std::size_t>(s)];
        }
        data.append(static_cast<double>(r) * 0.01, v);
    }
    std::uniform_int_distribution<std::size_t> pick(0, rows);
    for (int trial = 0; trial < 400; ++trial) {
        std::size_t a = pick(rng);
        std::size_t b = pick(rng);
        if (trial % 10 == 0) {
            b = a + trial % 70; // short ranges inside one block
        }
        if (a > b) {
            std::swap(a, b);
        }
        b = std::min(b, rows);
        for (int s = 0; s < kChartSeriesCount; ++s) {
            const Direct want = direct(columns[static_cast<std::size_t>(s)], a, b);
            const SeriesStatistics got = seriesStatistics(data, s, a, b);
            ASSERT_EQ(got.count, want.count) << a << ".." << b << " series " << s;
            if (want.count == 0) {
                EXPECT_TRUE(got.empty());
                continue;
            }
            EXPECT_EQ(got.min, want.min);
            EXPECT_EQ(got.max, want.max);
            EXPECT_DOUBLE_EQ(got.peakToPeak, want.max - want.min);
            EXPECT_NEAR(got.mean, want.mean, 1e-9 * std::max(1.0, std::abs(want.mean)));
            EXPECT_NEAR(got.stdDev, want.stdDev, 1e-6 * std::max(1e-3, want.stdDev)) << a << ".." << b << " " << s;
        }
    }
}

TEST(ReviewStatistics, TimeRangesTakeRowsOnBothEndsAndAnyOrder)
{
    ChartData data;
    for (int r = 0; r < 100; ++r) {
        data.append(r * 0.5, ChartValues{static_cast<float>(r), 0, 0, 0, 0});
    }
    const SeriesStatistics s = seriesStatisticsBetween(data, 0, 10.0, 5.0); // rows 10..20
    EXPECT_EQ(s.count, 11);
    EXPECT_EQ(s.min, 10.0);
    EXPECT_EQ(s.max, 20.0);
    EXPECT_DOUBLE_EQ(s.mean, 15.0);
    EXPECT_TRUE(seriesStatisticsBetween(data, 0, 60.0, 70.0).empty());
    EXPECT_TRUE(seriesStatistics(data, 7, 0, 100).empty());
}

TEST(ReviewStatistics, LiveStoreKeepsRightStatisticsAfterOldChunksAreDropped)
{
    ChartData data;
    data.setMaxAgeSeconds(static_cast<double>(ChartData::kChunkRows)); // x = row number, one chunk of age
    std::vector<float> values;
    for (std::size_t r = 0; r < 5 * ChartData::kChunkRows; ++r) {
        const float v = static_cast<float>((r * 7919) % 1000) / 10.0F;
        values.push_back(v);
        data.append(static_cast<double>(r), ChartValues{v, v, v, v, v});
    }
    ASSERT_GT(data.droppedRows(), 0U);
    const std::size_t offset = data.droppedRows();
    const Direct want = direct(values, offset + 17, offset + data.size() - 5);
    const SeriesStatistics got = seriesStatistics(data, 2, 17, data.size() - 5);
    EXPECT_EQ(got.count, want.count);
    EXPECT_NEAR(got.mean, want.mean, 1e-9);
    EXPECT_NEAR(got.stdDev, want.stdDev, 1e-9);
}

TEST(ReviewStatistics, CursorReadsTheNearestRow)
{
    ChartData data;
    EXPECT_FALSE(cursorReadingAt(data, 1.0).valid);
    for (int r = 0; r < 10; ++r) {
        data.append(r * 1.0, ChartValues{static_cast<float>(r * 10), 0, 0, 0, static_cast<float>(-r)});
    }
    struct Case {
        double x;
        std::size_t row;
    };
    for (const Case c : {Case{-5.0, 0}, Case{0.0, 0}, Case{2.4, 2}, Case{2.5, 2}, Case{2.6, 3}, Case{9.0, 9},
                         Case{100.0, 9}}) {
        const CursorReading r = cursorReadingAt(data, c.x);
        ASSERT_TRUE(r.valid);
        EXPECT_EQ(r.row, c.row) << c.x;
        EXPECT_EQ(r.x, static_cast<double>(c.row));
        EXPECT_EQ(r.values[0], static_cast<float>(c.row * 10));
        EXPECT_EQ(r.values[4], -static_cast<float>(c.row));
    }
}
