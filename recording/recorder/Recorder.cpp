#include "Recorder.h"

#include <QFileInfo>

#include <utility>

namespace qmx::recording {

namespace {
QDateTime localNow()
{
    return QDateTime::currentDateTime();
}
} // namespace

Recorder::Recorder(display::NumberLocale locale, Clock clock) : m_locale(locale), m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = localNow;
    }
}

Recorder::~Recorder() = default;

void Recorder::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(localNow);
}

std::optional<FileError> Recorder::beginRun()
{
    // The lines of an ended run go to the file before the new run's header.
    if (auto error = waitForClosedFiles(); error && !m_closingError) {
        m_closingError = std::move(error);
    }
    if (auto refused = RecordFile::checkTarget(m_options.fileName, m_options.followSymlinks)) {
        m_running = false;
        m_headerPending = false;
        return refused;
    }
    m_running = true;
    m_headerPending = true;
    m_runRecords = 0;
    m_runBytes = 0;
    const QFileInfo file(m_options.fileName);
    m_runStartFileBytes = file.isFile() ? file.size() : 0;
    return std::nullopt;
}

std::optional<FileError> Recorder::endRun()
{
    m_running = false;
    m_headerPending = false;
    std::optional<FileError> error;
    if (m_file) {
        error = m_file->close();
        m_file.reset();
    }
    return error;
}

void Recorder::endRunInBackground()
{
    m_running = false;
    m_headerPending = false;
    if (m_file) {
        m_file->closeInBackground();
        m_closing.push_back(std::move(m_file));
    }
}

std::optional<FileError> Recorder::collectClosedFiles()
{
    std::optional<FileError> first = std::exchange(m_closingError, std::nullopt);
    for (auto it = m_closing.begin(); it != m_closing.end();) {
        if (!(*it)->closeFinished()) {
            ++it;
            continue;
        }
        if (auto error = (*it)->close(); error && !first) {
            first = std::move(error);
        }
        it = m_closing.erase(it);
    }
    return first;
}

void Recorder::waitForClosingWriters()
{
    for (auto& file : m_closing) {
        file->waitUntilCloseFinished();
    }
}

std::optional<FileError> Recorder::waitForClosedFiles()
{
    std::optional<FileError> first = std::exchange(m_closingError, std::nullopt);
    for (auto& file : m_closing) {
        if (auto error = file->close(); error && !first) {
            first = std::move(error);
        }
    }
    m_closing.clear();
    return first;
}

FrameOutcome Recorder::recordMeasurement(const link::Measurement& m)
{
    const bool in2 = (m.InputState & 0x02) != 0;
    const TriggerStep step =
        m_trigger.onFrame(in2, m_running, m_options.mode, framesPerRecord(m_options.speedIndex));
    FrameOutcome outcome;
    outcome.framesLeft = step.framesLeft;
    if (step.record) {
        m_ticksSinceRecord = 0;
        outcome.error = writeRecord(m);
        outcome.recorded = !outcome.error;
    }
    return outcome;
}

std::optional<FileError> Recorder::writeRecord(const link::Measurement& m)
{
    ++m_recordNumber;
    const bool withHeader = m_headerPending;
    if (withHeader) {
        m_headerPending = false;
        m_recordNumber = 0;
    }
    RecordValues values;
    values.stamp = m_clock();
    values.number = m_recordNumber;
    values.sum = m.SumValue;
    values.sensor = m.ChannelValue;
    values.decimals = m_decimals ? m_decimals() : 0;
    const QByteArray line = buildRecordLine(m_options.columns, values, withHeader, m_locale);
    if (!m_file) {
        m_file = std::make_unique<RecordFile>(m_options.fileName, m_options.followSymlinks, m_sync);
    }
    if (auto error = m_file->append(line)) {
        return failRun(std::move(*error));
    }
    ++m_runRecords;
    m_runBytes += line.size();
    return std::nullopt;
}

std::optional<FileError> Recorder::flush()
{
    if (!m_file) {
        return std::nullopt;
    }
    if (auto error = m_file->flush()) {
        return failRun(std::move(*error));
    }
    return std::nullopt;
}

std::optional<FileError> Recorder::flushAndWait()
{
    if (!m_file) {
        return std::nullopt;
    }
    if (auto error = m_file->flushAndWait()) {
        return failRun(std::move(*error));
    }
    return std::nullopt;
}

std::optional<FileError> Recorder::failRun(FileError error)
{
    // The file has closed itself; forget it so that nothing is written through it, and end the run.
    m_file.reset();
    m_running = false;
    m_headerPending = false;
    return error;
}

RecordIndication Recorder::showTick(bool connected)
{
    const std::uint32_t old = m_ticksSinceRecord;
    // Saturates instead of wrapping, so "ZAPIS" never reappears years later without a record.
    if (m_ticksSinceRecord < kWritingTicks) {
        ++m_ticksSinceRecord;
    }
    if (old < kWritingTicks) {
        return RecordIndication::Writing;
    }
    if (m_running && connected) {
        return RecordIndication::Active;
    }
    return RecordIndication::Idle;
}

} // namespace qmx::recording
