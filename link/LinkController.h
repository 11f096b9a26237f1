#pragma once
// The device link: discovery and connection, the send operations, the receive dispatcher, the
// measurement record and the poll timer. One instance, owned by the main window.
//
// Threads: everything runs on the user-interface thread except sendReport() and the poll tick,
// which the poll timer's worker calls. sendReport() reads Connected and CurrentDevice under
// m_sendMutex and writes through the device's own lock, so a release never races a write. Input
// reports arrive from the devices' reader threads through a ReportHandOff, in arrival order, and
// are dispatched one at a time on the user-interface thread.
//
// The link watches the transducer: a reader that fails, or measurements that stop coming while
// polling runs, count as a lost link (linkLost(), then a new device search unless switched off);
// an identification reply that does not come is asked for again at a fixed interval.

#include "ClaimedDevice.h"
#include "DeviceInfo.h"
#include "HidBackend.h"
#include "HighResTimer.h"
#include "Measurement.h"
#include "Protocol.h"
#include "ReportHandOff.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <span>
#include <string_view>
#include <vector>

namespace qmx::link {

/// Connection state shown in the connection field.
enum class LinkStatus { Connected, NoConnection, Disconnected };

/// Why a link that was up counts as lost.
enum class LinkLoss {
    ReaderFailed,       ///< the device's reader stopped: the device failed or went away
    MeasurementsStopped ///< polling ran, but no measurement came within the silence limit
};

/// One HID device found by the last device search.
struct DeviceEntry {
    QString text;                          ///< product string or "Device VID=.. PID=.."
    HidDeviceInfo info;
    std::shared_ptr<ClaimedDevice> device; ///< opened only for the transducer's entries
    std::uint64_t source = 0;              ///< identifies the device's reports while it is attached
};

class LinkController : public QObject {
    Q_OBJECT
public:
    /// Looks a text up by identifier in the active language.
    using TextLookup = std::function<QString(std::string_view id)>;
    /// Called after every decoded measurement report, before the frame is counted.
    using MeasurementObserver = std::function<void(const Measurement&)>;

    /// Time after which a request without a reply lets polling resume.
    static constexpr int kReplyTimeoutMs = 3000;
    /// Time without a measurement, while polls go out, after which the link counts as lost.
    static constexpr int kMeasurementSilenceMs = 3000;
    /// Time the start-up exchange waits for the identification reply before it starts again; also
    /// the wait before searching again after a device whose reader failed at once.
    static constexpr int kStartupRetryMs = 5000;

    LinkController(HidBackend& backend, TextLookup lookup, QObject* parent = nullptr);
    ~LinkController() override;

    // Send operations. sendReport may be called from any thread; the others from the UI thread.
    /// Writes one output report carrying `payload` (1..63 bytes) to CurrentDevice; does nothing
    /// while not connected; failures are swallowed.
    void sendReport(std::span<const std::uint8_t> payload);
    /// Stops the poll timer, then sends the one-byte request `code`.
    void sendCommand(std::uint8_t code);
    /// Sends the link-state request with the given flag; leaves the poll timer alone.
    void sendLinkState(bool flag);
    /// Stops the poll timer for a request that expects a reply (used by the senders of long
    /// requests before sendReport). Polling resumes with the next non-measurement reply.
    void suspendPollForRequest();

    /// Handles one input report (UI thread).
    void dispatchReport(std::uint8_t reportId, std::span<const std::uint8_t> payload);

    /// Device change: releases every device, enumerates and connects to the transducer.
    void onDeviceChange();
    /// The poll tick: sends the measurement request without touching the poll timer.
    void pollTick();

    HighResTimer& pollTimer() { return m_pollTimer; }
    bool connected() const;
    LinkStatus linkStatus() const { return m_status; }
    std::uint8_t pendingCommand() const { return m_pendingCommand; }
    const std::vector<DeviceEntry>& deviceList() const { return m_deviceList; }
    /// The device requests go to; null while none was chosen.
    std::shared_ptr<ClaimedDevice> currentDevice() const;
    const DeviceInfo& deviceInfo() const { return m_deviceInfo; }
    const Measurement& measurement() const { return m_measurement; }
    /// True while connected and a measurement has arrived since the link was established: the
    /// record holds live values. After a lost link it turns true again only with a new measurement.
    bool measurementIsLive() const { return m_measurementLive && connected(); }
    /// Measurement reports dropped because the user-interface thread did not take them in time.
    std::uint64_t droppedMeasurements() const { return m_handOff.droppedMeasurements(); }
    ReportHandOff& handOff() { return m_handOff; }
    /// Measurement reports handled since the last call; resets the count (the fps tick).
    int takeFrameCount();
    int frameCount() const { return m_frameCount; }
    /// Measurement reports handled since the controller was made; never reset, so a reader can wait
    /// for the next one without racing the fps tick.
    std::uint64_t measurementsHandled() const { return m_measurementsHandled; }

    void setMeasurementObserver(MeasurementObserver observer) { m_measurementObserver = std::move(observer); }
    /// Milliseconds after which a request without a reply lets polling resume (tests shorten it).
    void setReplyTimeout(int ms) { m_replyWatchdog.setInterval(ms); }
    /// Milliseconds without a measurement while polling after which the link counts as lost.
    void setMeasurementSilenceLimit(int ms) { m_silenceWatchdog.setInterval(ms); }
    int measurementSilenceLimitMs() const { return m_silenceWatchdog.interval(); }
    /// Milliseconds between tries of the start-up exchange (tests shorten it).
    void setStartupRetryInterval(int ms);
    /// Whether a lost link starts a new device search (the window) or stays down (the tool, which
    /// ends instead). On by default.
    void setSearchAfterLinkLoss(bool search) { m_searchAfterLinkLoss = search; }
    /// The decimal separator used in the connection text (the user's locale by default).
    void setDecimalSeparator(QChar separator) { m_decimalSeparator = separator; }

    /// What the connection field shows now, looked up again: the connection text once the
    /// transducer has identified itself on this link, otherwise the text of the link state. For a
    /// change of the interface language, which must not wait for the next connection.
    QString connectionFieldText() const;
    /// The last status message sent (empty when none), looked up again in the current language.
    QString statusMessageText() const;
    /// The full text behind that status message (its tool tip), looked up again; empty when the
    /// message has no longer form.
    QString statusDetailText() const;

signals:
    /// A link state was set; `text` is its looked-up text.
    void linkStatusChanged(qmx::link::LinkStatus status, const QString& text);
    /// The connection field takes this text (after the identification reply).
    void connectionTextChanged(const QString& text);
    /// The status line takes this text.
    void statusMessage(const QString& text);
    /// The full text behind the status message just sent, for its tool tip (where the status
    /// line shows a short form).
    void statusDetail(const QString& fullText);
    /// The link to the transducer was lost; `text` says why, in the status line's words.
    void linkLost(qmx::link::LinkLoss reason, const QString& text);
    void deviceListChanged();
    /// Reply 0x02 (the whole frame, code first), before 0x03 is requested.
    void sensorSettingsReceived(const QByteArray& frame);
    /// Acknowledgement of 0x8A, after its status text and before 0x02 is requested.
    void sensorSettingsWritten();
    /// Reply 0x03 (the whole frame), before the link-state request.
    void ioSettingsReceived(const QByteArray& frame);
    /// Any reply was dispatched (code first); for observers such as the command-line tool.
    void replyDispatched(std::uint8_t code);

private:
    void setLinkStatus(LinkStatus status);
    void establishLink();
    void releaseAll();
    void attachDispatcher(DeviceEntry& entry);
    void startPollTimer();
    void handleMeasurement(std::span<const std::uint8_t> payload);
    /// The text of `id` through the lookup; without one (a link made with no window) the Polish text.
    QString text(std::string_view id) const;
    /// Sends a status message made by `message`, which is kept so that it can be made again in
    /// another language; `detail` likewise makes its longer form, when it has one.
    void showStatus(std::function<QString()> message, std::function<QString()> detail = {});
    bool keepHealthyLink(const std::vector<HidDeviceInfo>& infos);
    void handleReport(const ReportHandOff::Report& report);
    void loseLink(LinkLoss reason);
    void armSilenceWatchdog();
    void stopSilenceWatchdog();
    void retryStartup();
    /// True (and the status line told) when a reply is shorter than its case reads; once per link.
    bool replyTooShort(std::uint8_t code, std::size_t size, std::size_t needed);
    void checkReportLengths(const ClaimedDevice& device);
    /// With more than one transducer listed, the status line names the one in use.
    void reportTransducersInUse();
    /// Opens and links one transducer; when it cannot be opened, `refusal` and `refusalDetail`
    /// are set to make the first refusal's short and full texts (left alone if already set).
    bool linkTransducer(DeviceEntry& entry, std::function<QString()>& refusal, std::function<QString()>& refusalDetail);

    HidBackend& m_backend;
    TextLookup m_lookup;
    MeasurementObserver m_measurementObserver;

    mutable std::mutex m_sendMutex; // guards m_connected and m_current
    bool m_connected = false;
    std::shared_ptr<ClaimedDevice> m_current;

    LinkStatus m_status = LinkStatus::NoConnection;
    std::uint8_t m_pendingCommand = CMD_GET_INFO;
    std::vector<DeviceEntry> m_deviceList;
    std::set<std::uint64_t> m_liveSources; // devices whose reports are dispatched
    std::uint64_t m_nextSource = 1;
    std::uint64_t m_currentSource = 0; // the linked device's reports
    bool m_measurementLive = false;
    bool m_shortReplyReported = false;
    bool m_searchAfterLinkLoss = true;
    bool m_startupRetried = false; // the status line says the transducer does not answer
    bool m_identified = false;     // the connection field shows the transducer's identification
    std::function<QString()> m_statusMessage; // makes the last status message again
    std::function<QString()> m_statusDetail;  // and its longer form
    int m_readerFailuresWithoutReport = 0;
    std::uint64_t m_droppedReported = 0; // dropped measurements the status line has told
    // Set by a poll tick (worker thread) that found no measurement since the previous one had
    // armed the silence watchdog; cleared by every measurement and whenever polling stops.
    std::atomic<bool> m_pollAwaitingMeasurement{false};
    ReportHandOff m_handOff;
    DeviceInfo m_deviceInfo;
    Measurement m_measurement;
    int m_frameCount = 0;
    std::uint64_t m_measurementsHandled = 0;
    QChar m_decimalSeparator;
    QTimer m_replyWatchdog;
    QTimer m_silenceWatchdog;  // measurements stopped while polling
    QTimer m_startupWatchdog;  // the identification reply did not come
    QTimer m_researchTimer;    // a later device search after a reader that failed at once
    HighResTimer m_pollTimer;

};

} // namespace qmx::link
