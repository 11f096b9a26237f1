#include "VirtualTransducer.h"

#include "DeviceRules.h"
#include "FactoryDefaults.h"

#include "link/Bytes.h"
#include "link/Protocol.h"
#include "settings/core/AnalogFrames.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qmx::sim {

using namespace std::chrono;
using namespace qmx::link;
using settings::IoSettings;
using settings::SensorSettings;

namespace {

constexpr std::int64_t kMicrosPerSecond = 1'000'000;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
// The longest description that fits the 64-byte reply with its code, version and terminator.
constexpr std::size_t kMaxDescription = VirtualTransducer::kPayloadLength - 3;
// Enough history for the largest sample count the stability setting allows.
constexpr std::size_t kHistoryLength = settings::kStabSamplesMax;

std::int64_t dueTime(std::int64_t base, std::int64_t count, double perSecond)
{
    return base + std::llround(static_cast<double>(count) * static_cast<double>(kMicrosPerSecond) / perSecond);
}

std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace

VirtualTransducer::VirtualTransducer(std::uint64_t seed, std::array<std::uint8_t, 6> mac)
    : m_signals(seed), m_sensor(factorySensorSettings()), m_io(factoryIoSettings(mac))
{
    // A first sample at time 0, so that even the earliest report carries believable values; the
    // sample clock then counts from 0 again, so the next sample is one period later.
    takeSample();
    m_sampleCount = 0;
}

// --- simulated time -------------------------------------------------------------------------

void VirtualTransducer::advance(microseconds dt)
{
    if (dt.count() <= 0) {
        return;
    }
    std::lock_guard lock(m_mutex);
    const Micros target = m_now + dt.count();
    for (;;) {
        if (m_streaming && nextReportDue() > m_streamUntil) {
            m_streaming = false; // the keep-alive of the last poll has run out
        }
        const Micros sample = nextSampleDue();
        const Micros report = m_streaming ? nextReportDue() : kNever;
        const Micros delayed = m_delayed.empty() ? kNever : m_delayed.front().due;
        const Micros repeated = m_repeatPeriod > 0 ? m_repeatDue : kNever;
        const Micros next = std::min({sample, report, delayed, repeated});
        if (next > target) {
            break;
        }
        m_now = next;
        if (repeated == m_now) {
            m_repeatDue += m_repeatPeriod;
            if (m_plugged) {
                pushInput(m_repeatedReport, false);
            }
        }
        while (!m_delayed.empty() && m_delayed.front().due <= m_now) {
            pushInput(std::move(m_delayed.front().report), false);
            m_delayed.pop_front();
        }
        if (sample == m_now) {
            takeSample();
        }
        if (report == m_now) {
            ++m_streamCount;
            queueMeasurement();
        }
    }
    m_now = target;
}

microseconds VirtualTransducer::now() const
{
    std::lock_guard lock(m_mutex);
    return microseconds(m_now);
}

VirtualTransducer::Micros VirtualTransducer::nextSampleDue() const
{
    const double rate = settings::sampleRate(m_sensor.Rate).value_or(settings::kSampleRates[2]);
    return dueTime(m_sampleBase, m_sampleCount + 1, rate);
}

VirtualTransducer::Micros VirtualTransducer::nextReportDue() const
{
    return dueTime(m_streamBase, m_streamCount + 1, m_streamRate);
}

// --- the host side --------------------------------------------------------------------------

bool VirtualTransducer::handleOutputReport(std::span<const std::uint8_t> report)
{
    std::lock_guard lock(m_mutex);
    return handleLocked(report);
}

bool VirtualTransducer::handleLocked(std::span<const std::uint8_t> report)
{
    if (!m_plugged) {
        return false;
    }
    if (m_failWrites > 0) {
        --m_failWrites;
        return false;
    }
    // A report for another report ID is not ours to answer; the write itself succeeds.
    if (report.size() < 2 || report[0] != kReportId) {
        return true;
    }
    dispatch(report.subspan(1));
    return true;
}

bool VirtualTransducer::popInputReport(std::vector<std::uint8_t>& out)
{
    std::lock_guard lock(m_mutex);
    if (m_input.empty()) {
        return false;
    }
    out = std::move(m_input.front());
    m_input.pop_front();
    return true;
}

std::size_t VirtualTransducer::pendingInputReports() const
{
    std::lock_guard lock(m_mutex);
    return m_input.size();
}

void VirtualTransducer::clearInputReports()
{
    std::lock_guard lock(m_mutex);
    m_input.clear();
}

void VirtualTransducer::setInputQueueCapacity(std::size_t reports)
{
    std::lock_guard lock(m_mutex);
    m_inputCapacity = std::max<std::size_t>(reports, 1);
}

void VirtualTransducer::pushInput(std::vector<std::uint8_t> report, bool isMeasurement)
{
    if (m_input.size() >= m_inputCapacity) {
        // A full driver buffer loses the newest report, as hidraw does.
        ++m_overflowed;
        return;
    }
    m_input.push_back(std::move(report));
    if (isMeasurement) {
        ++m_measurementReports;
    } else {
        ++m_replies;
    }
    m_reportReady.notify_all();
}

void VirtualTransducer::emitReport(std::vector<std::uint8_t> payload, bool isMeasurement)
{
    const std::uint8_t code = payload.empty() ? 0 : payload[0];
    if (auto it = m_dropByCode.find(code); it != m_dropByCode.end()) {
        if (--it->second <= 0) {
            m_dropByCode.erase(it);
        }
        return;
    }
    if (!isMeasurement && m_dropNext > 0) {
        --m_dropNext;
        return;
    }
    if (auto it = m_truncateByCode.find(code); it != m_truncateByCode.end()) {
        payload.resize(std::min(payload.size(), it->second));
        m_truncateByCode.erase(it);
    } else if (!isMeasurement && m_truncateNext) {
        payload.resize(std::min(payload.size(), *m_truncateNext));
        m_truncateNext.reset();
    }
    std::vector<std::uint8_t> report;
    report.reserve(1 + payload.size());
    report.push_back(kReportId);
    report.insert(report.end(), payload.begin(), payload.end());
    if (!isMeasurement && m_replyDelay > 0) {
        const Micros due = m_now + m_replyDelay;
        const auto at = std::upper_bound(m_delayed.begin(), m_delayed.end(), due,
                                         [](Micros d, const DelayedReport& r) { return d < r.due; });
        m_delayed.insert(at, DelayedReport{due, std::move(report)});
        return;
    }
    pushInput(std::move(report), isMeasurement);
}

void VirtualTransducer::reply(std::vector<std::uint8_t> payload)
{
    payload.resize(kPayloadLength, 0);
    emitReport(std::move(payload), false);
}

// --- plug state and handles -----------------------------------------------------------------

bool VirtualTransducer::plugged() const
{
    std::lock_guard lock(m_mutex);
    return m_plugged;
}

void VirtualTransducer::setPlugged(bool plugged)
{
    std::lock_guard lock(m_mutex);
    if (plugged == m_plugged) {
        return;
    }
    m_plugged = plugged;
    // Either way the old connection is over: handles die, nothing queued survives, the stream and
    // a running analog test stop, as after a power cycle.
    ++m_handleGeneration;
    m_input.clear();
    m_delayed.clear();
    m_streaming = false;
    m_analog.testActive = false;
    m_maxValid = false;
    refreshMeasurement();
    m_reportReady.notify_all();
}

std::optional<std::uint64_t> VirtualTransducer::openHandle()
{
    std::lock_guard lock(m_mutex);
    if (!m_plugged) {
        return std::nullopt;
    }
    // The device is claimed exclusively: the newest handle takes it over from older ones.
    ++m_handleGeneration;
    m_input.clear();
    m_reportReady.notify_all();
    return m_handleGeneration;
}

bool VirtualTransducer::writeFromHandle(std::uint64_t handle, std::span<const std::uint8_t> report)
{
    std::lock_guard lock(m_mutex);
    if (handle != m_handleGeneration) {
        return false;
    }
    return handleLocked(report);
}

VirtualTransducer::ReadStatus VirtualTransducer::readFromHandle(std::uint64_t handle, std::vector<std::uint8_t>& out,
                                                                milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    const auto deadline = steady_clock::now() + timeout;
    for (;;) {
        if (!m_plugged || handle != m_handleGeneration) {
            return ReadStatus::Gone;
        }
        if (!m_input.empty()) {
            out = std::move(m_input.front());
            m_input.pop_front();
            return ReadStatus::Report;
        }
        if (m_reportReady.wait_until(lock, deadline) == std::cv_status::timeout) {
            if (!m_plugged || handle != m_handleGeneration) {
                return ReadStatus::Gone;
            }
            if (m_input.empty()) {
                return ReadStatus::Timeout;
            }
        }
    }
}

// --- requests -------------------------------------------------------------------------------

void VirtualTransducer::dispatch(std::span<const std::uint8_t> payload)
{
    m_requests.emplace_back(payload.begin(), payload.end());
    while (m_requests.size() > kRequestLogCapacity) {
        m_requests.pop_front();
    }

    const std::uint8_t code = payload[0];
    std::vector<std::uint8_t> r(kPayloadLength, 0);
    r[0] = code;
    switch (code) {
    case CMD_GET_INFO: {
        r[1] = static_cast<std::uint8_t>(m_versionByte);
        const std::size_t n = std::min(m_description.size(), kMaxDescription);
        std::copy_n(m_description.begin(), n, r.begin() + 2);
        break;
    }
    case CMD_GET_MEASUREMENT:
        // The measurement reports are the answer; there is no reply of its own.
        startOrExtendStream();
        return;
    case CMD_GET_SENSOR_SETTINGS:
        settings::encodeSensorSettings(m_sensor, std::span(r).subspan(1));
        break;
    case CMD_GET_IO_SETTINGS:
        settings::encodeIoSettings(m_io, std::span(r).subspan(1));
        break;
    case CMD_SET_LINK_STATE:
        r[1] = payload.size() > 1 && payload[1] != 0 ? 1 : 0;
        break;
    case CMD_SET_SENSOR_SETTINGS: {
        // A refused block is still acknowledged (the protocol has no refusal); the read-back
        // that follows every write shows the host what the device kept.
        auto s = settings::decodeSensorSettings(payload);
        if (s && sensorSettingsAcceptable(*s)) {
            s->SignBits &= settings::kSignBitsMask;
            storeSensorSettings(*s);
        } else {
            ++m_rejectedWrites;
        }
        break;
    }
    case CMD_SET_IO_SETTINGS: {
        auto s = settings::decodeIoSettings(payload);
        if (s && ioSettingsAcceptable(*s)) {
            s->MAC = m_io.MAC; // the hardware address is not writable
            s->IndicatorFlags &= settings::kOut1StabFlag | settings::kOut2OverloadFlag;
            m_io = *s;
            refreshMeasurement();
        } else {
            ++m_rejectedWrites;
        }
        break;
    }
    case CMD_ZERO_SENSOR1:
    case CMD_ZERO_SENSOR2:
    case CMD_ZERO_SENSOR3:
    case CMD_ZERO_SENSOR4:
        zeroChannel(static_cast<std::size_t>(code - CMD_ZERO_SENSOR1));
        refreshMeasurement();
        break;
    case CMD_ZERO_ALL_SENSORS:
        for (std::size_t ch = 0; ch < kChannels; ++ch) {
            zeroChannel(ch);
        }
        refreshMeasurement();
        break;
    case CMD_TARE_SUM:
        m_sumTareN = 0.0;
        m_sumTareN = unitToNewtons(sumInUnits(), m_sensor.Units);
        refreshMeasurement();
        break;
    case CMD_RESET_MIN_MAX:
        m_maxValid = false;
        refreshMeasurement();
        break;
    case CMD_FACTORY_SENSOR_SETTINGS:
        // Zero points and the sum tare belong to the sensor settings and go back with them.
        for (auto& c : m_channels) {
            c.zeroN = 0.0;
        }
        m_sumTareN = 0.0;
        storeSensorSettings(factorySensorSettings());
        break;
    case CMD_FACTORY_COMM_SETTINGS:
        applyFactoryCommSettings(m_io);
        break;
    case CMD_FACTORY_OUTPUT_SETTINGS:
        applyFactoryOutputSettings(m_io);
        refreshMeasurement();
        break;
    case CMD_ANALOG_TEST_START:
        if (payload.size() >= 7 && payload[1] <= settings::kAnalogCurrent) {
            m_analog.testActive = true;
            m_analog.channel = payload[1];
            m_analog.testFlag = payload[2] != 0;
            m_analog.testLevel = readFloatLe(payload, 3);
        }
        break;
    case CMD_ANALOG_TEST_STOP:
        m_analog.testActive = false;
        break;
    case CMD_ANALOG_CALIBRATE:
        if (payload.size() >= 6 && payload[1] <= settings::kAnalogCurrent) {
            const float measured = readFloatLe(payload, 2);
            if (std::isfinite(measured) && measured > 0.0F) {
                const float nominal = payload[1] == settings::kAnalogVoltage ? settings::kAnalogVoltageTestLevel
                                                                             : settings::kAnalogCurrentTestLevel;
                m_analog.measured[payload[1]] = measured;
                m_analog.factor[payload[1]] = nominal / measured;
            }
        }
        break;
    default:
        // Not a command of this device: no reply, as the firmware ignores it.
        return;
    }
    reply(std::move(r));
}

void VirtualTransducer::startOrExtendStream()
{
    if (!m_streaming) {
        m_streaming = true;
        m_streamBase = m_now;
        m_streamCount = 0;
    }
    m_streamUntil = m_now + m_keepAlive;
}

void VirtualTransducer::storeSensorSettings(const SensorSettings& s)
{
    if (s.Rate != m_sensor.Rate) {
        // Sampling goes on at the new rate from the last sample on.
        m_sampleBase = dueTime(m_sampleBase, m_sampleCount, settings::sampleRate(m_sensor.Rate).value_or(16));
        m_sampleCount = 0;
    }
    m_sensor = s;
    refreshMeasurement();
}

void VirtualTransducer::zeroChannel(std::size_t ch)
{
    m_channels[ch].zeroN = m_channels[ch].filteredN;
}

// --- measurement --------------------------------------------------------------------------

void VirtualTransducer::takeSample()
{
    const double rate = settings::sampleRate(m_sensor.Rate).value_or(settings::kSampleRates[2]);
    const double dt = 1.0 / rate;
    const int filterLength = 1 << std::min<int>(m_sensor.Filter, 7);
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        auto& c = m_channels[ch];
        const double range = std::max<std::int32_t>(m_sensor.Range[ch], 1);
        const double raw = m_signals.next(static_cast<int>(ch), dt, range);
        // A running average over about `filterLength` samples, as the device's averaging filter.
        c.filteredN = c.hasSample ? c.filteredN + (raw - c.filteredN) / filterLength : raw;
        c.hasSample = true;
        c.history.push_back(c.filteredN);
        while (c.history.size() > kHistoryLength) {
            c.history.pop_front();
        }
    }
    ++m_sampleCount;
    refreshMeasurement();
}

double VirtualTransducer::channelValueN(std::size_t ch) const
{
    const auto& c = m_channels[ch];
    const bool inverted = (m_sensor.SignBits & (1U << ch)) != 0;
    const double value = c.filteredN - c.zeroN;
    return inverted ? -value : value;
}

double VirtualTransducer::sumInUnits() const
{
    const std::size_t summed = std::min<std::size_t>(m_sensor.SelTens, 3) + 1;
    double total = 0.0;
    for (std::size_t ch = 0; ch < summed; ++ch) {
        if (m_channels[ch].present && !m_channels[ch].converterError) {
            total += newtonsToUnit(channelValueN(ch), m_sensor.Units);
        }
    }
    return total + static_cast<double>(m_sensor.SumOffset) - newtonsToUnit(m_sumTareN, m_sensor.Units);
}

void VirtualTransducer::refreshMeasurement()
{
    auto& m = m_measurement;
    for (std::size_t ch = 0; ch < kChannels; ++ch) {
        const auto& c = m_channels[ch];
        if (c.converterError || !c.present) {
            m.ChannelStatus[ch] = c.converterError ? kStatusConverterError : kStatusNoSensor;
            m.ChannelValue[ch] = 0.0F;
            m.ChannelLoad[ch] = 0;
            continue;
        }
        const double range = std::max<std::int32_t>(m_sensor.Range[ch], 1);
        const double valueN = channelValueN(ch);
        m.ChannelValue[ch] = static_cast<float>(newtonsToUnit(valueN, m_sensor.Units));
        m.ChannelLoad[ch] = static_cast<std::uint16_t>(std::min(std::llround(std::abs(valueN) / range * 100.0), 65535LL));

        bool stable = true;
        const std::size_t window = std::min<std::size_t>(m_sensor.StabSamplesNo, c.history.size());
        if (window > 0) {
            const auto [lo, hi] = std::minmax_element(c.history.end() - static_cast<std::ptrdiff_t>(window), c.history.end());
            stable = std::abs(newtonsToUnit(*hi - *lo, m_sensor.Units)) <= static_cast<double>(m_sensor.StabMaxDiff);
        }
        // Overload is judged on the load the sensor carries, so zeroing cannot hide it.
        if (std::abs(c.filteredN) > kOverloadFactor * range) {
            m.ChannelStatus[ch] = kStatusOverloaded;
        } else {
            m.ChannelStatus[ch] = stable ? kStatusStable : kStatusUnstable;
        }
    }
    const double sum = sumInUnits();
    m.SumValue = static_cast<float>(sum);
    const double sumN = unitToNewtons(sum, m_sensor.Units);
    if (!m_maxValid || sumN > m_deviceMaxN) {
        m_deviceMaxN = sumN;
        m_maxValid = true;
    }
    m.DeviceMax = static_cast<float>(newtonsToUnit(m_deviceMaxN, m_sensor.Units));
    m.InputState = inputsNow();
    m.OutputState = outputState(m_io, m_sensor.SelTens, m);
    updateLinkCounters();
}

std::uint8_t VirtualTransducer::inputsNow() const
{
    if (m_inputsOverride) {
        return *m_inputsOverride & 0x03;
    }
    const bool in1 = m_now % (10 * kMicrosPerSecond) >= 7 * kMicrosPerSecond;
    const bool in2 = (m_now / (2 * kMicrosPerSecond)) % 2 == 1;
    return static_cast<std::uint8_t>((in1 ? 1 : 0) | (in2 ? 2 : 0));
}

void VirtualTransducer::updateLinkCounters()
{
    const Micros second = m_now / kMicrosPerSecond;
    if (second == m_lastCountersSecond) {
        return;
    }
    m_lastCountersSecond = second;
    // A Modbus master polling about ten times a second and a busier Ethernet client.
    const std::uint64_t h = mix(static_cast<std::uint64_t>(second) + 0x51D);
    m_measurement.Rs485Fps = static_cast<std::uint16_t>(8 + h % 5);
    m_measurement.EthFps = static_cast<std::uint16_t>(22 + (h >> 16) % 7);
}

void VirtualTransducer::queueMeasurement()
{
    m_measurement.InputState = inputsNow();
    std::vector<std::uint8_t> payload(kPayloadLength, 0);
    encodeMeasurement(m_measurement, payload);
    emitReport(std::move(payload), true);
}

} // namespace qmx::sim
