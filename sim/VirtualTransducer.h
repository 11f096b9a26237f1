#pragma once
// The virtual transducer: a complete model of the QMX80NET behind the HID report protocol.
//
// It runs on simulated time only. advance() moves the model clock, evolves the sensor signals and
// queues the measurement reports that fall due; handleOutputReport() takes one request and queues
// its reply at once (or after an injected delay). Replies and measurement reports are whole input
// reports: report ID 1, then a 64-byte payload whose offset 0 is the command code.
//
// Threads: every member may be called from any thread. All state is guarded by the one mutex
// m_mutex; m_reportReady (on the same mutex) wakes readers waiting for an input report.

#include "FactoryDefaults.h"
#include "SignalModel.h"

#include "link/Measurement.h"
#include "settings/core/IoSettings.h"
#include "settings/core/SensorSettings.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qmx::sim {

/// The analog output: the test level being driven and the calibration stored per range
/// (index 0 = 0-10 V, 1 = 4-20 mA).
struct AnalogOutputState {
    bool testActive = false;
    std::uint8_t channel = 0;
    bool testFlag = false;
    float testLevel = 0.0F;             ///< the level the request asked for (9 V or 18 mA)
    std::array<float, 2> measured{};    ///< last calibration value per range; 0 = never calibrated
    std::array<float, 2> factor{1.0F, 1.0F}; ///< nominal test level / measured value

    friend bool operator==(const AnalogOutputState&, const AnalogOutputState&) = default;
};

class VirtualTransducer {
public:
    /// Outcome of waiting for an input report on an open handle.
    enum class ReadStatus { Report, Timeout, Gone };

    static constexpr std::size_t kPayloadLength = 64;
    /// Input and output report length, report ID included.
    static constexpr std::size_t kReportLength = 1 + kPayloadLength;
    static constexpr std::uint8_t kReportId = 1;
    static constexpr int kChannels = 4;
    static constexpr double kDefaultStreamRate = 100.0;
    static constexpr double kMaxStreamRate = 10000.0;
    /// How long measurement reports keep coming after a poll.
    static constexpr std::chrono::microseconds kDefaultKeepAlive{2'000'000};
    static constexpr std::int8_t kDefaultVersionByte = 105;
    static constexpr std::string_view kDefaultDescription = "virtual";
    /// Input reports held for the host before new ones are dropped, as a HID driver's buffer does.
    static constexpr std::size_t kDefaultQueueCapacity = 4096;
    /// Requests kept in the log; older ones are forgotten.
    static constexpr std::size_t kRequestLogCapacity = 4096;

    /// `seed` makes the automatic signals repeatable; `mac` is the hardware address.
    explicit VirtualTransducer(std::uint64_t seed = 1, std::array<std::uint8_t, 6> mac = kFactoryMac);
    VirtualTransducer(const VirtualTransducer&) = delete;
    VirtualTransducer& operator=(const VirtualTransducer&) = delete;

    // --- simulated time -------------------------------------------------------------------------
    /// Moves model time on by `dt`: sensor samples, due measurement reports and delayed replies.
    void advance(std::chrono::microseconds dt);
    /// Model time since construction.
    std::chrono::microseconds now() const;

    // --- the host side --------------------------------------------------------------------------
    /// Takes one output report (byte 0 = report ID 1, then the request payload; longer reports are
    /// fine). Returns false when the write fails: the device is unplugged or a write failure was
    /// injected; the model then never sees the request. Reports with another report ID are taken
    /// but ignored.
    bool handleOutputReport(std::span<const std::uint8_t> report);
    /// Takes the oldest queued input report (65 bytes, or fewer when truncated by a fault).
    bool popInputReport(std::vector<std::uint8_t>& out);
    std::size_t pendingInputReports() const;
    void clearInputReports();
    void setInputQueueCapacity(std::size_t reports);

    // --- plug state and open handles (used by SimBackend) ---------------------------------------
    bool plugged() const;
    /// Unplugging ends every open handle, empties the queue and stops the stream; plugging in
    /// again starts a fresh connection. Settings, zero points and calibration are kept.
    void setPlugged(bool plugged);
    /// Opens a handle: drops reports queued before it (a new handle sees only new reports) and
    /// returns its id, or nothing while unplugged.
    std::optional<std::uint64_t> openHandle();
    /// handleOutputReport() through a handle; false when the handle no longer reaches the device.
    bool writeFromHandle(std::uint64_t handle, std::span<const std::uint8_t> report);
    /// Waits up to `timeout` for the next input report on a handle.
    ReadStatus readFromHandle(std::uint64_t handle, std::vector<std::uint8_t>& out,
                              std::chrono::milliseconds timeout);

    // --- settings and identity ------------------------------------------------------------------
    settings::SensorSettings sensorSettings() const;
    /// Stores a sensor block as it is, without the checks a write goes through.
    void setSensorSettings(const settings::SensorSettings& s);
    settings::IoSettings ioSettings() const;
    /// Stores a communication and output block as it is, MAC included.
    void setIoSettings(const settings::IoSettings& s);
    AnalogOutputState analogOutput() const;
    /// The identification reply: version byte (105 = 1.05) and description (up to 61 bytes).
    void setInfo(std::int8_t versionByte, std::string description);
    /// Measurement reports per second while streaming (default 100); refused unless 0 < rate <= 10000.
    void setStreamRate(double perSecond);
    double streamRate() const;
    void setStreamKeepAlive(std::chrono::microseconds window);
    /// True while measurement reports are being sent (a poll came within the keep-alive window).
    bool streaming() const;

    // --- signals ---------------------------------------------------------------------------------
    /// Restarts the automatic signals from a seed.
    void setSeed(std::uint64_t seed);
    /// Holds channel `channel` (0-3) at a load in newtons; setAutomaticLoad() releases it.
    void setLoad(int channel, double newtons);
    void setAutomaticLoad(int channel);
    /// Noise as a fraction of the range (standard deviation); 0 for exact values.
    void setNoiseLevel(double fractionOfRange);
    /// A channel without a sensor reports status "no sensor" and the value 0.
    void setChannelPresent(int channel, bool present);
    /// A channel with a converter error reports status "converter error" and the value 0.
    void setConverterError(int channel, bool error);
    /// Holds IN1/IN2 (bits 0, 1) at the given state; setAutomaticInputs() returns to the model's
    /// own pattern (IN1 on for 3 s of every 10 s, IN2 a square wave of 4 s period).
    void setInputs(std::uint8_t bits);
    void setAutomaticInputs();
    /// The record the next measurement report carries.
    link::Measurement currentMeasurement() const;

    // --- counters and request log -------------------------------------------------------------
    std::uint64_t measurementReportsQueued() const;
    /// Other reports put into the queue: replies to requests and injected reports.
    std::uint64_t repliesQueued() const;
    /// Settings writes acknowledged but not stored because the device refused their values.
    std::uint64_t rejectedWrites() const;
    /// Input reports lost because the queue was full.
    std::uint64_t overflowedInputReports() const;
    /// Payloads (report ID removed) of the requests received, oldest first.
    std::vector<std::vector<std::uint8_t>> receivedRequests() const;
    /// The command codes of receivedRequests().
    std::vector<std::uint8_t> receivedCodes() const;
    void clearReceivedRequests();

    // --- fault injection ------------------------------------------------------------------------
    /// The next `count` replies to requests are lost (measurement reports are not counted).
    void dropNextReplies(int count);
    /// The next `count` reports with `code` are lost; code 0x01 drops measurement reports.
    void dropRepliesTo(std::uint8_t code, int count);
    /// Replies to requests arrive `delay` of model time late (0 = at once).
    void setReplyDelay(std::chrono::microseconds delay);
    /// The next reply to a request carries only its first `payloadBytes` payload bytes.
    void truncateNextReply(std::size_t payloadBytes);
    /// The next report with `code` (0x01 for a measurement report) is truncated likewise.
    void truncateNextReplyTo(std::uint8_t code, std::size_t payloadBytes);
    /// Queues `report` (report ID included) as it is: unknown codes, garbage, odd lengths.
    void injectInputReport(std::vector<std::uint8_t> report);
    /// Queues `report` (report ID included) every `period` of model time from now on, whether or
    /// not the host polls: a device that keeps sending reports nobody asked for. A period of 0
    /// ends it.
    void injectInputReportEvery(std::vector<std::uint8_t> report, std::chrono::microseconds period);
    /// The next `count` writes fail and do not reach the model.
    void failNextWrites(int count);
    /// Ends every injected fault.
    void clearFaults();

private:
    using Micros = std::int64_t;

    struct ChannelState {
        double filteredN = 0.0;     // after the averaging filter
        double zeroN = 0.0;         // stored by the zero commands
        std::deque<double> history; // filtered samples for the stability test, newest last
        bool present = true;
        bool converterError = false;
        bool hasSample = false;
    };
    struct DelayedReport {
        Micros due;
        std::vector<std::uint8_t> report;
    };

    // All private members expect m_mutex to be held.
    bool handleLocked(std::span<const std::uint8_t> report);
    void dispatch(std::span<const std::uint8_t> payload);
    void reply(std::vector<std::uint8_t> payload);
    void emitReport(std::vector<std::uint8_t> payload, bool isMeasurement);
    void pushInput(std::vector<std::uint8_t> report, bool isMeasurement);
    void startOrExtendStream();
    void storeSensorSettings(const settings::SensorSettings& s);
    void takeSample();
    void refreshMeasurement();
    void queueMeasurement();
    void zeroChannel(std::size_t ch);
    double channelValueN(std::size_t ch) const;
    double sumInUnits() const;
    std::uint8_t inputsNow() const;
    void updateLinkCounters();
    Micros nextSampleDue() const;
    Micros nextReportDue() const;

    mutable std::mutex m_mutex;
    std::condition_variable m_reportReady;

    Micros m_now = 0;
    SignalModel m_signals;
    settings::SensorSettings m_sensor;
    settings::IoSettings m_io;
    std::array<ChannelState, kChannels> m_channels{};
    double m_sumTareN = 0.0;
    double m_deviceMaxN = 0.0;
    bool m_maxValid = false;
    link::Measurement m_measurement;
    AnalogOutputState m_analog;
    std::int8_t m_versionByte = kDefaultVersionByte;
    std::string m_description{kDefaultDescription};
    std::optional<std::uint8_t> m_inputsOverride;
    Micros m_lastCountersSecond = -1;

    // Sensor sampling at the rate of the Rate setting.
    Micros m_sampleBase = 0;
    std::int64_t m_sampleCount = 0;
    // Measurement stream.
    double m_streamRate = kDefaultStreamRate;
    Micros m_keepAlive = kDefaultKeepAlive.count();
    bool m_streaming = false;
    Micros m_streamBase = 0;
    std::int64_t m_streamCount = 0;
    Micros m_streamUntil = 0;

    // Host connection.
    bool m_plugged = true;
    std::uint64_t m_handleGeneration = 0; // handles older than this one are dead
    std::deque<std::vector<std::uint8_t>> m_input;
    std::size_t m_inputCapacity = kDefaultQueueCapacity;
    std::deque<DelayedReport> m_delayed;

    // Counters and log.
    std::uint64_t m_measurementReports = 0;
    std::uint64_t m_replies = 0;
    std::uint64_t m_rejectedWrites = 0;
    std::uint64_t m_overflowed = 0;
    std::deque<std::vector<std::uint8_t>> m_requests;

    // Faults.
    int m_dropNext = 0;
    std::map<std::uint8_t, int> m_dropByCode;
    Micros m_replyDelay = 0;
    std::optional<std::size_t> m_truncateNext;
    std::map<std::uint8_t, std::size_t> m_truncateByCode;
    int m_failWrites = 0;
    std::vector<std::uint8_t> m_repeatedReport;
    Micros m_repeatPeriod = 0; // 0: no repeated report
    Micros m_repeatDue = 0;
};

} // namespace qmx::sim
