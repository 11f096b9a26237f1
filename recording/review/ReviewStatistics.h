#pragma once
// Statistics and cursor readings over a chart store, live or reviewed: computed from the store's
// per-block summaries (min/max and the count, mean and spread of the finite values), so any range
// costs a few thousand summary reads at most, never a scan of the rows.

#include "recording/chart/ChartData.h"

#include <cstddef>
#include <cstdint>

namespace qmx::recording {

/// Statistics of the finite values of one series over a range; gaps (NaN, infinities) left out.
struct SeriesStatistics {
    std::int64_t count = 0;   ///< number of finite values
    double min = 0.0;
    double max = 0.0;
    double mean = 0.0;
    double stdDev = 0.0;      ///< sample standard deviation (n - 1); 0 for a single value
    double peakToPeak = 0.0;  ///< max - min

    bool empty() const { return count == 0; }
};

/// Statistics of series `series` (0..4) over rows [first, last) of `data`.
SeriesStatistics seriesStatistics(const ChartData& data, int series, std::size_t first, std::size_t last);

/// Statistics of series `series` over the rows whose x lies in [fromX, toX] (either order).
SeriesStatistics seriesStatisticsBetween(const ChartData& data, int series, double fromX, double toX);

/// What a cursor at some x reads: the row nearest to it (ties to the earlier row).
struct CursorReading {
    bool valid = false;    ///< false for an empty store
    std::size_t row = 0;
    double x = 0.0;        ///< the row's own x
    ChartValues values{};  ///< the row's values (NaN for a gap)
};

/// The reading at `x`: the nearest row of `data`. Binary search, no scan.
CursorReading cursorReadingAt(const ChartData& data, double x);

} // namespace qmx::recording
