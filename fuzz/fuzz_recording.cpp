// Fuzz target: the reader of recordings (the recorder's CSV read back for review), fed any file.
// Input: one byte choosing the run and the period, then the file's bytes.
// Invariants: the runs found lie inside the file, newest first, without overlapping; a read either
// gives a recording or an error with a reason (naming a line of the file unless the run asked for
// does not exist), never both and never neither; a
// recording's rows, skipped lines and torn lines add up to at most the run's lines; its x values
// never go back; statistics over all rows count only rows that exist, with min <= mean <= max and a
// spread that is not negative; statistics over a range equal the sum of its two halves' counts.

#include "FuzzCheck.h"

#include "recording/review/RecordingReader.h"
#include "recording/review/ReviewStatistics.h"

#include <QByteArrayView>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

using namespace qmx::recording;

void checkRuns(const ReviewReadResult& scan, qsizetype fileSize)
{
    std::int64_t laterHeader = -1;
    std::int64_t laterFirstByte = -1;
    for (const RecordingRun& run : scan.runs) {
        FUZZ_CHECK(run.headerLine >= 1);
        FUZZ_CHECK(run.lineCount >= 0);
        FUZZ_CHECK(0 <= run.firstByte && run.firstByte <= run.endByte && run.endByte <= fileSize);
        if (laterHeader >= 0) {
            // Newest first: each run starts before the one listed ahead of it and ends before it begins.
            FUZZ_CHECK(run.headerLine < laterHeader);
            FUZZ_CHECK(run.endByte <= laterFirstByte);
        }
        laterHeader = run.headerLine;
        laterFirstByte = run.firstByte;
    }
}

void checkStatistics(const ChartData& data)
{
    const std::size_t rows = data.size();
    for (int series = 0; series < kChartSeriesCount; ++series) {
        const SeriesStatistics all = seriesStatistics(data, series, 0, rows);
        FUZZ_CHECK(all.count >= 0 && static_cast<std::size_t>(all.count) <= rows);
        if (all.count > 0) {
            const double slack = 1e-6 * std::max(1.0, std::max(std::fabs(all.min), std::fabs(all.max)));
            FUZZ_CHECK(all.min <= all.max);
            FUZZ_CHECK(all.mean >= all.min - slack && all.mean <= all.max + slack);
            FUZZ_CHECK(all.stdDev >= 0.0);
        }
        const std::size_t middle = rows / 2;
        const SeriesStatistics first = seriesStatistics(data, series, 0, middle);
        const SeriesStatistics second = seriesStatistics(data, series, middle, rows);
        FUZZ_CHECK(first.count + second.count == all.count);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const int runIndex = data[0] & 0x03;
    ReviewReadOptions options;
    options.periodSeconds = (data[0] & 0x80) ? 0.01 : 0.1;
    const QByteArrayView file(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    const ReviewReadResult scan = scanRecordingRuns(file);
    checkRuns(scan, file.size());

    const ReviewReadResult read = readRecording(file, runIndex, options);
    FUZZ_CHECK(read.recording.has_value() != read.error.has_value());
    if (read.error) {
        // An error names a line of the file, except asking for a run the file does not have.
        FUZZ_CHECK(read.error->line >= 1 || runIndex >= static_cast<int>(scan.runs.size()));
        FUZZ_CHECK(!read.error->reason.isEmpty());
        return 0;
    }
    const ReviewRecording& recording = *read.recording;
    FUZZ_CHECK(recording.data != nullptr);
    FUZZ_CHECK(recording.runIndex >= 0 && recording.runIndex < recording.runCount);
    FUZZ_CHECK(static_cast<std::size_t>(recording.runCount) == read.runs.size());
    const RecordingRun& run = read.runs[static_cast<std::size_t>(recording.runIndex)];
    const ChartData& rows = *recording.data;
    FUZZ_CHECK(static_cast<std::int64_t>(rows.size()) + recording.damagedLines + recording.tornLines <= run.lineCount);
    for (std::size_t row = 1; row < rows.size(); ++row) {
        FUZZ_CHECK(rows.x(row - 1) <= rows.x(row));
    }
    checkStatistics(rows);
    return 0;
}
