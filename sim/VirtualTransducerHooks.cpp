// The virtual transducer's settings accessors, signal controls, counters and fault injection:
// everything a test or the simulation front end sets from outside the protocol.

#include "VirtualTransducer.h"

#include <algorithm>
#include <cmath>

namespace qmx::sim {

using settings::IoSettings;
using settings::SensorSettings;

namespace {
bool validChannel(int ch)
{
    return ch >= 0 && ch < VirtualTransducer::kChannels;
}
} // namespace

// --- settings and identity ----------------------------------------------------------------

SensorSettings VirtualTransducer::sensorSettings() const
{
    std::lock_guard lock(m_mutex);
    return m_sensor;
}

void VirtualTransducer::setSensorSettings(const SensorSettings& s)
{
    std::lock_guard lock(m_mutex);
    storeSensorSettings(s);
}

IoSettings VirtualTransducer::ioSettings() const
{
    std::lock_guard lock(m_mutex);
    return m_io;
}

void VirtualTransducer::setIoSettings(const IoSettings& s)
{
    std::lock_guard lock(m_mutex);
    m_io = s;
    refreshMeasurement();
}

AnalogOutputState VirtualTransducer::analogOutput() const
{
    std::lock_guard lock(m_mutex);
    return m_analog;
}

void VirtualTransducer::setInfo(std::int8_t versionByte, std::string description)
{
    std::lock_guard lock(m_mutex);
    m_versionByte = versionByte;
    m_description = std::move(description);
}

void VirtualTransducer::setStreamRate(double perSecond)
{
    if (!std::isfinite(perSecond) || perSecond <= 0.0 || perSecond > kMaxStreamRate) {
        return;
    }
    std::lock_guard lock(m_mutex);
    if (m_streaming) {
        // Keep the phase: the next report follows the last one at the new interval.
        m_streamBase = m_streamBase + std::llround(static_cast<double>(m_streamCount) * 1e6 / m_streamRate);
        m_streamCount = 0;
    }
    m_streamRate = perSecond;
}

double VirtualTransducer::streamRate() const
{
    std::lock_guard lock(m_mutex);
    return m_streamRate;
}

void VirtualTransducer::setStreamKeepAlive(std::chrono::microseconds window)
{
    std::lock_guard lock(m_mutex);
    m_keepAlive = std::max<Micros>(window.count(), 0);
}

bool VirtualTransducer::streaming() const
{
    std::lock_guard lock(m_mutex);
    return m_streaming && nextReportDue() <= m_streamUntil;
}

// --- signals --------------------------------------------------------------------------------

void VirtualTransducer::setSeed(std::uint64_t seed)
{
    std::lock_guard lock(m_mutex);
    m_signals.reseed(seed);
}

void VirtualTransducer::setLoad(int channel, double newtons)
{
    if (!validChannel(channel) || !std::isfinite(newtons)) {
        return;
    }
    std::lock_guard lock(m_mutex);
    m_signals.setManualLoad(channel, newtons);
}

void VirtualTransducer::setAutomaticLoad(int channel)
{
    std::lock_guard lock(m_mutex);
    m_signals.setManualLoad(channel, std::nullopt);
}

void VirtualTransducer::setNoiseLevel(double fractionOfRange)
{
    std::lock_guard lock(m_mutex);
    m_signals.setNoise(fractionOfRange);
}

void VirtualTransducer::setChannelPresent(int channel, bool present)
{
    if (!validChannel(channel)) {
        return;
    }
    std::lock_guard lock(m_mutex);
    m_channels[static_cast<std::size_t>(channel)].present = present;
    refreshMeasurement();
}

void VirtualTransducer::setConverterError(int channel, bool error)
{
    if (!validChannel(channel)) {
        return;
    }
    std::lock_guard lock(m_mutex);
    m_channels[static_cast<std::size_t>(channel)].converterError = error;
    refreshMeasurement();
}

void VirtualTransducer::setInputs(std::uint8_t bits)
{
    std::lock_guard lock(m_mutex);
    m_inputsOverride = static_cast<std::uint8_t>(bits & 0x03);
    refreshMeasurement();
}

void VirtualTransducer::setAutomaticInputs()
{
    std::lock_guard lock(m_mutex);
    m_inputsOverride.reset();
    refreshMeasurement();
}

link::Measurement VirtualTransducer::currentMeasurement() const
{
    std::lock_guard lock(m_mutex);
    link::Measurement m = m_measurement;
    m.InputState = inputsNow();
    return m;
}

// --- counters and request log -------------------------------------------------------------

std::uint64_t VirtualTransducer::measurementReportsQueued() const
{
    std::lock_guard lock(m_mutex);
    return m_measurementReports;
}

std::uint64_t VirtualTransducer::repliesQueued() const
{
    std::lock_guard lock(m_mutex);
    return m_replies;
}

std::uint64_t VirtualTransducer::rejectedWrites() const
{
    std::lock_guard lock(m_mutex);
    return m_rejectedWrites;
}

std::uint64_t VirtualTransducer::overflowedInputReports() const
{
    std::lock_guard lock(m_mutex);
    return m_overflowed;
}

std::vector<std::vector<std::uint8_t>> VirtualTransducer::receivedRequests() const
{
    std::lock_guard lock(m_mutex);
    return {m_requests.begin(), m_requests.end()};
}

std::vector<std::uint8_t> VirtualTransducer::receivedCodes() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::uint8_t> codes;
    codes.reserve(m_requests.size());
    for (const auto& r : m_requests) {
        codes.push_back(r.front());
    }
    return codes;
}

void VirtualTransducer::clearReceivedRequests()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

// --- fault injection ------------------------------------------------------------------------

void VirtualTransducer::dropNextReplies(int count)
{
    std::lock_guard lock(m_mutex);
    m_dropNext = std::max(count, 0);
}

void VirtualTransducer::dropRepliesTo(std::uint8_t code, int count)
{
    std::lock_guard lock(m_mutex);
    if (count > 0) {
        m_dropByCode[code] = count;
    } else {
        m_dropByCode.erase(code);
    }
}

void VirtualTransducer::setReplyDelay(std::chrono::microseconds delay)
{
    std::lock_guard lock(m_mutex);
    m_replyDelay = std::max<Micros>(delay.count(), 0);
}

void VirtualTransducer::truncateNextReply(std::size_t payloadBytes)
{
    std::lock_guard lock(m_mutex);
    m_truncateNext = payloadBytes;
}

void VirtualTransducer::truncateNextReplyTo(std::uint8_t code, std::size_t payloadBytes)
{
    std::lock_guard lock(m_mutex);
    m_truncateByCode[code] = payloadBytes;
}

void VirtualTransducer::injectInputReport(std::vector<std::uint8_t> report)
{
    std::lock_guard lock(m_mutex);
    if (!m_plugged) {
        return;
    }
    pushInput(std::move(report), false);
}

void VirtualTransducer::injectInputReportEvery(std::vector<std::uint8_t> report, std::chrono::microseconds period)
{
    std::lock_guard lock(m_mutex);
    m_repeatedReport = std::move(report);
    m_repeatPeriod = std::max<Micros>(period.count(), 0);
    m_repeatDue = m_now + m_repeatPeriod;
}

void VirtualTransducer::failNextWrites(int count)
{
    std::lock_guard lock(m_mutex);
    m_failWrites = std::max(count, 0);
}

void VirtualTransducer::clearFaults()
{
    std::lock_guard lock(m_mutex);
    m_dropNext = 0;
    m_dropByCode.clear();
    m_replyDelay = 0;
    m_truncateNext.reset();
    m_truncateByCode.clear();
    m_failWrites = 0;
    m_repeatPeriod = 0;
}

} // namespace qmx::sim
