#pragma once
// Sample store of the live chart: one time column and five value columns in fixed-size chunks,
// with a min/max summary per block of rows so that a zoomed-out view costs what the pixels cost.
// The store keeps a bounded history: rows older than its age limit are dropped a chunk at a time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace qmx::recording {

/// Number of chart series: the four channels and the sum.
inline constexpr int kChartSeriesCount = 5;

/// Values of the five series for one sample, series 1..5 at indices 0..4.
using ChartValues = std::array<float, kChartSeriesCount>;

/// Smallest and largest finite value of a set; empty while no finite value was added.
struct ValueSpan {
    float min = std::numeric_limits<float>::infinity();
    float max = -std::numeric_limits<float>::infinity();

    /// True while no finite value was added.
    bool empty() const { return !(min <= max); }
    /// Adds one value; NaN and infinities are left out, they cannot be drawn or scaled to.
    void add(float v)
    {
        if (v - v == 0.0F) { // false for NaN and +-infinity
            min = v < min ? v : min;
            max = v > max ? v : max;
        }
    }
    /// Adds every value of `other`.
    void merge(const ValueSpan& other)
    {
        min = other.min < min ? other.min : min;
        max = other.max > max ? other.max : max;
    }
};

/// Count, mean and sum of squared deviations from the mean of a set of finite values, merged
/// pairwise (Chan's formula) so that summaries of neighbouring blocks combine without the loss of
/// precision that running sums of squares suffer.
struct ValueMoments {
    std::int64_t count = 0;
    double mean = 0.0;
    double m2 = 0.0; ///< sum of (value - mean)^2

    /// Adds one value; NaN and infinities are left out, as ValueSpan leaves them out.
    void add(float v)
    {
        if (v - v == 0.0F) {
            ++count;
            const double delta = static_cast<double>(v) - mean;
            mean += delta / static_cast<double>(count);
            m2 += delta * (static_cast<double>(v) - mean);
        }
    }
    /// Adds every value of `other`.
    void merge(const ValueMoments& other)
    {
        if (other.count == 0) {
            return;
        }
        if (count == 0) {
            *this = other;
            return;
        }
        const auto na = static_cast<double>(count);
        const auto nb = static_cast<double>(other.count);
        const double n = na + nb;
        const double delta = other.mean - mean;
        mean += delta * nb / n;
        m2 += other.m2 + delta * delta * na * nb / n;
        count += other.count;
    }
};

/// Chart samples in ascending time order. Rows are appended in fixed-size chunks, so an append never
/// moves the rows already stored. Each block of kBlockRows rows and each chunk keep the min/max of
/// their finite values per series; span() combines them, touching at most two partial blocks.
/// Times are seconds in double precision: neighbouring rows 10 ms apart stay distinct after
/// years, where float32 merges them after about 36 hours.
/// Memory is bounded by an age limit (24 hours by default): once every row of the oldest chunk is
/// older than the limit, counted back from the newest row, that chunk is dropped whole. Row numbers
/// count from the oldest row kept, so they shift by kChunkRows when a chunk goes.
/// Single-threaded: owned and used by the user-interface thread.
class ChartData {
public:
    /// Rows per min/max block.
    static constexpr std::size_t kBlockRows = 64;
    /// Rows per chunk (a whole number of blocks).
    static constexpr std::size_t kChunkRows = 4096;
    static constexpr std::size_t kBlocksPerChunk = kChunkRows / kBlockRows;
    static_assert(kChunkRows % kBlockRows == 0);
    /// Default age limit: the last 24 hours are kept.
    static constexpr double kDefaultMaxAgeSeconds = 24.0 * 3600.0;

    ChartData();
    ~ChartData();
    ChartData(const ChartData&) = delete;
    ChartData& operator=(const ChartData&) = delete;

    /// Appends one row. `x` must not be below the last row's x (the chart's time only grows).
    /// Afterwards drops the oldest chunks whose rows are all older than x minus the age limit.
    void append(double x, const ChartValues& values);
    /// Removes every row and frees the chunks.
    void clear();

    /// Number of rows.
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    /// Time of row `row` (< size()).
    double x(std::size_t row) const;
    /// Value of series `series` (0..4) at row `row` (< size()).
    float y(int series, std::size_t row) const;

    /// First row whose x is not below `key` (size() when none).
    std::size_t lowerBound(double key) const;
    /// First row whose x is above `key` (size() when none).
    std::size_t upperBound(double key) const;

    /// Min/max of the finite values of series `series` over rows [first, last).
    ValueSpan span(int series, std::size_t first, std::size_t last) const;

    /// Count, mean and spread of the finite values of series `series` over rows [first, last).
    ValueMoments moments(int series, std::size_t first, std::size_t last) const;

    /// Bytes held by the store (chunks, summaries and the chunk table).
    std::size_t memoryBytes() const;

    /// Age limit in seconds: rows older than the newest row by more than this are dropped, a
    /// whole chunk at a time. Applied at the next append.
    void setMaxAgeSeconds(double seconds) { m_maxAgeSeconds = seconds; }
    double maxAgeSeconds() const { return m_maxAgeSeconds; }
    /// Rows dropped for age since the last clear().
    std::size_t droppedRows() const { return m_droppedRows; }

private:
    struct Chunk;

    template <typename Less>
    std::size_t partitionPoint(Less keyIsBefore) const;
    /// Combines the summaries of rows [first, last) of one series: whole chunks and whole blocks
    /// from their stored summaries, the rest value by value.
    template <typename Summary, typename WholeChunkSummary, typename BlockSummary>
    Summary summarise(int series, std::size_t first, std::size_t last, WholeChunkSummary wholeChunk,
                      BlockSummary block) const;

    void dropAgedChunks(double newestX);

    std::vector<std::unique_ptr<Chunk>> m_chunks;
    // Time of the last row of every chunk, side by side: searches run over this small array
    // instead of touching one cache line in every chunk.
    std::vector<double> m_chunkLastX;
    std::size_t m_size = 0;
    std::size_t m_droppedRows = 0;
    double m_maxAgeSeconds = kDefaultMaxAgeSeconds;
};

} // namespace qmx::recording
