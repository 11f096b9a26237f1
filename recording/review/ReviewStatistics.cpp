#include "ReviewStatistics.h"

#include <algorithm>
#include <cmath>

namespace qmx::recording {

SeriesStatistics seriesStatistics(const ChartData& data, int series, std::size_t first, std::size_t last)
{
    SeriesStatistics result;
    last = std::min(last, data.size());
    if (first >= last || series < 0 || series >= kChartSeriesCount) {
        return result;
    }
    const ValueMoments moments = data.moments(series, first, last);
    if (moments.count == 0) {
        return result;
    }
    const ValueSpan span = data.span(series, first, last);
    result.count = moments.count;
    result.min = span.min;
    result.max = span.max;
    result.peakToPeak = static_cast<double>(span.max) - static_cast<double>(span.min);
    // The merged mean can stray by rounding just outside the values it averages.
    result.mean = std::clamp(moments.mean, result.min, result.max);
    result.stdDev = moments.count > 1 ? std::sqrt(std::max(0.0, moments.m2) / static_cast<double>(moments.count - 1))
                                      : 0.0;
    return result;
}

SeriesStatistics seriesStatisticsBetween(const ChartData& data, int series, double fromX, double toX)
{
    if (toX < fromX) {
        std::swap(fromX, toX);
    }
    return seriesStatistics(data, series, data.lowerBound(fromX), data.upperBound(toX));
}

CursorReading cursorReadingAt(const ChartData& data, double x)
{
    CursorReading reading;
    if (data.empty()) {
        return reading;
    }
    std::size_t row = data.lowerBound(x);
    if (row == data.size()) {
        row = data.size() - 1;
    } else if (row > 0 && x - data.x(row - 1) <= data.x(row) - x) {
        --row;
    }
    reading.valid = true;
    reading.row = row;
    reading.x = data.x(row);
    for (int s = 0; s < kChartSeriesCount; ++s) {
        reading.values[static_cast<std::size_t>(s)] = data.y(s, row);
    }
    return reading;
}

} // namespace qmx::recording
