#include "ChartData.h"

#include <algorithm>
#include <cassert>

namespace qmx::recording {

// One chunk holds the rows and their summaries side by side; its size never changes, so a full
// chunk is never touched again by appends.
struct ChartData::Chunk {
    std::array<double, kChunkRows> x;
    std::array<std::array<float, kChunkRows>, kChartSeriesCount> y;
    std::array<std::array<ValueSpan, kBlocksPerChunk>, kChartSeriesCount> blocks{};
    std::array<ValueSpan, kChartSeriesCount> whole{};
    // Count, mean and spread per block, in separate arrays so that a block costs 17 bytes, not 24.
    std::array<std::array<std::uint8_t, kBlocksPerChunk>, kChartSeriesCount> blockCount{};
    std::array<std::array<double, kBlocksPerChunk>, kChartSeriesCount> blockMean{};
    std::array<std::array<double, kBlocksPerChunk>, kChartSeriesCount> blockM2{};
    std::array<ValueMoments, kChartSeriesCount> wholeMoments{};

    ValueMoments blockMoments(std::size_t s, std::size_t block) const
    {
        return ValueMoments{blockCount[s][block], blockMean[s][block], blockM2[s][block]};
    }
};
static_assert(ChartData::kBlockRows <= 255, "block counts are kept in one byte");

ChartData::ChartData() = default;
ChartData::~ChartData() = default;

void ChartData::append(double x, const ChartValues& values)
{
    const std::size_t inChunk = m_size % kChunkRows;
    if (inChunk == 0) {
        // Default-initialised on purpose: the rows are written before they are read, and leaving
        // them untouched spares a 100 KB clear in the middle of a sampling tick.
        m_chunks.push_back(std::unique_ptr<Chunk>(new Chunk));
        m_chunkLastX.push_back(x);
    }
    m_chunkLastX.back() = x;
    Chunk& chunk = *m_chunks.back();
    chunk.x[inChunk] = x;
    const std::size_t block = inChunk / kBlockRows;
    for (int s = 0; s < kChartSeriesCount; ++s) {
        const float v = values[static_cast<std::size_t>(s)];
        chunk.y[static_cast<std::size_t>(s)][inChunk] = v;
        chunk.blocks[static_cast<std::size_t>(s)][block].add(v);
        chunk.whole[static_cast<std::size_t>(s)].add(v);
        ValueMoments m = chunk.blockMoments(static_cast<std::size_t>(s), block);
        m.add(v);
        chunk.blockCount[static_cast<std::size_t>(s)][block] = static_cast<std::uint8_t>(m.count);
        chunk.blockMean[static_cast<std::size_t>(s)][block] = m.mean;
        chunk.blockM2[static_cast<std::size_t>(s)][block] = m.m2;
        chunk.wholeMoments[static_cast<std::size_t>(s)].add(v);
    }
    ++m_size;
    dropAgedChunks(x);
}

void ChartData::dropAgedChunks(double newestX)
{
    // Whole chunks only: row numbers stay a plain division by kChunkRows. The chunk being filled
    // is never dropped, so a slow sampling rate keeps at least its own rows.
    const double oldestKept = newestX - m_maxAgeSeconds;
    std::size_t aged = 0;
    while (aged + 1 < m_chunks.size() && m_chunkLastX[aged] < oldestKept) {
        ++aged;
    }
    if (aged == 0) {
        return;
    }
    const auto count = static_cast<std::ptrdiff_t>(aged);
    m_chunks.erase(m_chunks.begin(), m_chunks.begin() + count);
    m_chunkLastX.erase(m_chunkLastX.begin(), m_chunkLastX.begin() + count);
    m_size -= aged * kChunkRows;
    m_droppedRows += aged * kChunkRows;
}

void ChartData::clear()
{
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    m_chunkLastX.clear();
    m_chunkLastX.shrink_to_fit();
    m_size = 0;
    m_droppedRows = 0;
}

double ChartData::x(std::size_t row) const
{
    assert(row < m_size);
    return m_chunks[row / kChunkRows]->x[row % kChunkRows];
}

float ChartData::y(int series, std::size_t row) const
{
    assert(row < m_size && series >= 0 && series < kChartSeriesCount);
    return m_chunks[row / kChunkRows]->y[static_cast<std::size_t>(series)][row % kChunkRows];
}

template <typename Less>
std::size_t ChartData::partitionPoint(Less keyIsBefore) const
{
    if (m_size == 0) {
        return 0;
    }
    // The first chunk whose last row is not before the key holds the answer (or it is the end).
    const std::size_t chunkCount = m_chunks.size();
    const std::size_t lo = static_cast<std::size_t>(
        std::partition_point(m_chunkLastX.begin(), m_chunkLastX.end(), keyIsBefore) - m_chunkLastX.begin());
    if (lo == chunkCount) {
        return m_size;
    }
    const Chunk& chunk = *m_chunks[lo];
    const std::size_t rows = std::min(kChunkRows, m_size - lo * kChunkRows);
    const auto it = std::partition_point(chunk.x.begin(), chunk.x.begin() + static_cast<std::ptrdiff_t>(rows),
                                         keyIsBefore);
    return lo * kChunkRows + static_cast<std::size_t>(it - chunk.x.begin());
}

std::size_t ChartData::lowerBound(double key) const
{
    return partitionPoint([key](double v) { return v < key; });
}

std::size_t ChartData::upperBound(double key) const
{
    return partitionPoint([key](double v) { return v <= key; });
}

template <typename Summary, typename WholeChunkSummary, typename BlockSummary>
Summary ChartData::summarise(int series, std::size_t first, std::size_t last, WholeChunkSummary wholeChunk,
                             BlockSummary block) const
{
    Summary result;
    last = std::min(last, m_size);
    if (series < 0 || series >= kChartSeriesCount) {
        return result;
    }
    const auto s = static_cast<std::size_t>(series);
    std::size_t row = first;
    // Rows before the first whole block, then whole blocks and whole chunks, then the tail: at
    // most two partial blocks are read value by value.
    while (row < last) {
        const std::size_t chunkIndex = row / kChunkRows;
        const std::size_t inChunk = row % kChunkRows;
        const Chunk& chunk = *m_chunks[chunkIndex];
        if (inChunk == 0 && row + kChunkRows <= last) {
            result.merge(wholeChunk(chunk, s));
            row += kChunkRows;
        } else if (inChunk % kBlockRows == 0 && row + kBlockRows <= last) {
            result.merge(block(chunk, s, inChunk / kBlockRows));
            row += kBlockRows;
        } else {
            const std::size_t blockEnd = std::min(last, row - inChunk % kBlockRows + kBlockRows);
            const float* values = chunk.y[s].data() + inChunk;
            // The partial block is summed on its own and merged, as a whole block would be.
            Summary part;
            for (std::size_t i = 0, n = blockEnd - row; i < n; ++i) {
                part.add(values[i]);
            }
            result.merge(part);
            row = blockEnd;
        }
    }
    return result;
}

ValueSpan ChartData::span(int series, std::size_t first, std::size_t last) const
{
    return summarise<ValueSpan>(
        series, first, last, [](const Chunk& chunk, std::size_t s) { return chunk.whole[s]; },
        [](const Chunk& chunk, std::size_t s, std::size_t block) { return chunk.blocks[s][block]; });
}

ValueMoments ChartData::moments(int series, std::size_t first, std::size_t last) const
{
    return summarise<ValueMoments>(
        series, first, last, [](const Chunk& chunk, std::size_t s) { return chunk.wholeMoments[s]; },
        [](const Chunk& chunk, std::size_t s, std::size_t block) { return chunk.blockMoments(s, block); });
}

std::size_t ChartData::memoryBytes() const
{
    return m_chunks.size() * sizeof(Chunk) + m_chunks.capacity() * sizeof(std::unique_ptr<Chunk>) +
           m_chunkLastX.capacity() * sizeof(double) + sizeof(*this);
}

} // namespace qmx::recording
