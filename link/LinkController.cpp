#include "LinkController.h"

#include "DeviceList.h"
#include "Protocol.h"

#include "lang/StringTable.h"

#include <QLocale>

#include <algorithm>
#include <array>

namespace qmx::link {

namespace {

// Bytes each reply case reads; a shorter reply skips its case (polling still resumes).
constexpr std::size_t kInfoReplyMin = 2;
constexpr std::size_t kLinkStateReplyMin = 2;
constexpr std::size_t kSensorSettingsReplyMin = 48; // code + 47-byte record
constexpr std::size_t kIoSettingsReplyMin = 50;     // code + 49-byte record

constexpr double kPollPeriodSeconds = 1.0;

QByteArray toByteArray(std::span<const std::uint8_t> bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace

LinkController::LinkController(HidBackend& backend, TextLookup lookup, QObject* parent)
    : QObject(parent),
      m_backend(backend),
      m_lookup(std::move(lookup)),
      m_handOff([this](const ReportHandOff::Report& r) { handleReport(r); }, this),
      m_decimalSeparator(QLocale::system().decimalPoint().front()),
      m_pollTimer(kPollPeriodSeconds, [this] { pollTick(); })
{
    m_replyWatchdog.setSingleShot(true);
    m_replyWatchdog.setInterval(kReplyTimeoutMs);
    connect(&m_replyWatchdog, &QTimer::timeout, this, [this] { m_pollTimer.start(); });
    m_silenceWatchdog.setSingleShot(true);
    m_silenceWatchdog.setInterval(kMeasurementSilenceMs);
    connect(&m_silenceWatchdog, &QTimer::timeout, this, [this] {
        // Polling may have been suspended meanwhile (a request waits for its reply): no loss then.
        if (m_pollAwaitingMeasurement.load() && m_pollTimer.isEnabled() && connected()) {
            loseLink(LinkLoss::MeasurementsStopped);
        }
    });
    m_startupWatchdog.setInterval(kStartupRetryMs);
    connect(&m_startupWatchdog, &QTimer::timeout, this, &LinkController::retryStartup);
    m_researchTimer.setSingleShot(true);
    m_researchTimer.setInterval(kStartupRetryMs);
    connect(&m_researchTimer, &QTimer::timeout, this, &LinkController::onDeviceChange);
    connect(&m_backend, &HidBackend::devicesChanged, this, &LinkController::onDeviceChange);
}

LinkController::~LinkController()
{
    m_pollTimer.stop();
    releaseAll();
}

bool LinkController::connected() const
{
    std::lock_guard lock(m_sendMutex);
    return m_connected;
}

std::shared_ptr<ClaimedDevice> LinkController::currentDevice() const
{
    std::lock_guard lock(m_sendMutex);
    return m_current;
}

void LinkController::sendReport(std::span<const std::uint8_t> payload)
{
    std::shared_ptr<ClaimedDevice> device;
    {
        std::lock_guard lock(m_sendMutex);
        if (!m_connected || !m_current) {
            return;
        }
        device = m_current;
    }
    // A refused write is swallowed: the caller learns nothing, and no state changes.
    (void)device->write(payload);
}

void LinkController::suspendPollForRequest()
{
    m_pollTimer.stop();
    stopSilenceWatchdog();
    m_replyWatchdog.start();
}

void LinkController::setStartupRetryInterval(int ms)
{
    m_startupWatchdog.setInterval(ms);
    m_researchTimer.setInterval(ms);
}

void LinkController::armSilenceWatchdog()
{
    if (!m_pollTimer.isEnabled() || !connected()) {
        m_pollAwaitingMeasurement.store(false); // polling stopped meanwhile: the next poll arms again
        return;
    }
    if (m_pollAwaitingMeasurement.load() && !m_silenceWatchdog.isActive()) {
        m_silenceWatchdog.start();
    }
}

void LinkController::stopSilenceWatchdog()
{
    m_pollAwaitingMeasurement.store(false);
    m_silenceWatchdog.stop();
}

void LinkController::sendCommand(std::uint8_t code)
{
    suspendPollForRequest();
    const std::array<std::uint8_t, 1> payload{code};
    sendReport(payload);
}

void LinkController::sendLinkState(bool flag)
{
    std::array<std::uint8_t, kLongPayload> payload{};
    payload[0] = CMD_SET_LINK_STATE;
    payload[1] = flag ? 1 : 0;
    sendReport(payload);
}

void LinkController::pollTick()
{
    const std::array<std::uint8_t, 1> payload{CMD_GET_MEASUREMENT};
    sendReport(payload);
    // The first poll without a measurement since the last one starts the silence watchdog (on
    // the user-interface thread, where it lives; this tick may run on the poll worker).
    if (connected() && !m_pollAwaitingMeasurement.exchange(true)) {
        QMetaObject::invokeMethod(this, [this] { armSilenceWatchdog(); }, Qt::QueuedConnection);
    }
}

void LinkController::startPollTimer()
{
    m_replyWatchdog.stop();
    m_pollTimer.start();
}

QString LinkController::text(std::string_view id) const
{
    return m_lookup ? m_lookup(id) : lang::lookupText(id, lang::Language::Polish);
}

void LinkController::showStatus(std::function<QString()> message, std::function<QString()> detail)
{
    m_statusMessage = std::move(message);
    m_statusDetail = std::move(detail);
    emit statusMessage(m_statusMessage ? m_statusMessage() : QString());
    if (m_statusDetail) {
        emit statusDetail(m_statusDetail());
    }
}

QString LinkController::statusMessageText() const
{
    return m_statusMessage ? m_statusMessage() : QString();
}

QString LinkController::statusDetailText() const
{
    return m_statusDetail ? m_statusDetail() : QString();
}

QString LinkController::connectionFieldText() const
{
    if (m_identified) {
        return connectionText(m_deviceInfo, m_decimalSeparator, text("IDS_LinkConnectedTo"));
    }
    switch (m_status) {
    case LinkStatus::Connected:
        return text("IDS_44");
    case LinkStatus::NoConnection:
        return text("IDS_45");
    case LinkStatus::Disconnected:
        break;
    }
    return text("IDS_46");
}

int LinkController::takeFrameCount()
{
    const int n = m_frameCount;
    m_frameCount = 0;
    return n;
}

void LinkController::handleMeasurement(std::span<const std::uint8_t> payload)
{
    if (!decodeMeasurement(payload, m_measurement)) {
        // Too short to be a measurement: nothing is read past its end.
        replyTooShort(CMD_GET_MEASUREMENT, payload.size(), kMeasurementLength);
        return;
    }
    m_measurementLive = true;
    stopSilenceWatchdog();
    // Reports the hand-off had to drop (the window was blocked) are told, not hidden.
    if (const std::uint64_t dropped = m_handOff.droppedMeasurements(); dropped != m_droppedReported) {
        m_droppedReported = dropped;
        showStatus([this, dropped] { return text("IDS_LinkMeasurementsSkipped").arg(dropped); });
    }
    if (m_measurementObserver) {
        m_measurementObserver(m_measurement);
    }
    ++m_frameCount;
    ++m_measurementsHandled;
}

void LinkController::dispatchReport(std::uint8_t /*reportId*/, std::span<const std::uint8_t> payload)
{
    if (payload.empty()) {
        return; // no code at all: nothing to dispatch
    }
    const std::uint8_t code = payload[0];
    switch (code) {
    case CMD_GET_INFO:
        if (!replyTooShort(code, payload.size(), kInfoReplyMin)) {
            if (auto info = decodeDeviceInfo(payload)) {
                if (m_startupWatchdog.isActive() && m_startupRetried) {
                    showStatus({}); // the transducer answers again
                }
                m_startupWatchdog.stop();
                m_startupRetried = false;
                m_deviceInfo = *info;
                m_identified = true;
                emit connectionTextChanged(connectionFieldText());
                sendCommand(CMD_GET_SENSOR_SETTINGS);
            }
        }
        break;
    case CMD_GET_MEASUREMENT:
        handleMeasurement(payload);
        break;
    case CMD_GET_SENSOR_SETTINGS:
        if (!replyTooShort(code, payload.size(), kSensorSettingsReplyMin)) {
            emit sensorSettingsReceived(toByteArray(payload));
            sendCommand(CMD_GET_IO_SETTINGS);
        }
        break;
    case CMD_GET_IO_SETTINGS:
        if (!replyTooShort(code, payload.size(), kIoSettingsReplyMin)) {
            emit ioSettingsReceived(toByteArray(payload));
            sendLinkState(true);
        }
        break;
    case CMD_SET_LINK_STATE:
        if (!replyTooShort(code, payload.size(), kLinkStateReplyMin) && payload[1] == 0) {
            sendCommand(m_pendingCommand);
        }
        break;
    case CMD_SET_SENSOR_SETTINGS:
        showStatus([this] { return text("IDS_48"); });
        emit sensorSettingsWritten();
        sendCommand(CMD_GET_SENSOR_SETTINGS);
        break;
    case CMD_SET_IO_SETTINGS:
        showStatus([this] { return text("IDS_47"); });
        sendCommand(CMD_GET_IO_SETTINGS);
        break;
    case CMD_TARE_SUM:
        showStatus([this] { return text("IDS_49"); });
        break;
    case CMD_RESET_MIN_MAX:
        showStatus([this] { return text("IDS_50"); });
        break;
    case CMD_FACTORY_SENSOR_SETTINGS:
        showStatus([this] { return text("IDS_52"); });
        sendCommand(CMD_GET_SENSOR_SETTINGS);
        break;
    case CMD_FACTORY_COMM_SETTINGS:
        showStatus([this] { return text("IDS_LinkCommunicationDefaultsRestored"); });
        sendCommand(CMD_GET_IO_SETTINGS);
        break;
    case CMD_FACTORY_OUTPUT_SETTINGS:
        showStatus([this] { return text("IDS_51"); });
        sendCommand(CMD_GET_IO_SETTINGS);
        break;
    default:
        // Zeroing and analog-output replies, and unlisted codes: only polling resumes.
        break;
    }
    if (code != CMD_GET_MEASUREMENT) {
        startPollTimer();
    }
    emit replyDispatched(code);
}

void LinkController::setLinkStatus(LinkStatus status)
{
    m_status = status;
    m_identified = false;
    const char* id = "IDS_44";
    if (status != LinkStatus::Connected) {
        m_pollTimer.stop();
        m_replyWatchdog.stop();
        m_startupWatchdog.stop();
        stopSilenceWatchdog();
        id = status == LinkStatus::NoConnection ? "IDS_45" : "IDS_46";
    }
    emit linkStatusChanged(status, text(id));
}

void LinkController::establishLink()
{
    m_measurementLive = false;
    m_shortReplyReported = false;
    m_startupRetried = false;
    setLinkStatus(LinkStatus::Connected);
    sendLinkState(false);
    m_pendingCommand = CMD_GET_INFO;
    m_startupWatchdog.start();
}

void LinkController::retryStartup()
{
    if (!connected()) {
        m_startupWatchdog.stop();
        return;
    }
    // The identification reply did not come: say so, and start the exchange again.
    m_startupRetried = true;
    showStatus([this, seconds = m_startupWatchdog.interval() / 1000.0] {
        return text("IDS_LinkNotAnswering").arg(seconds, 0, 'g', 3);
    });
    sendLinkState(false);
    m_pendingCommand = CMD_GET_INFO;
}

bool LinkController::replyTooShort(std::uint8_t code, std::size_t size, std::size_t needed)
{
    if (size >= needed) {
        return false;
    }
    if (!m_shortReplyReported) {
        m_shortReplyReported = true;
        showStatus([this, code, size, needed] {
            return text("IDS_LinkReplyTooShort").arg(code, 2, 16, QChar(u'0')).arg(size).arg(needed);
        });
    }
    return true;
}

void LinkController::checkReportLengths(const ClaimedDevice& device)
{
    const std::size_t input = device.inputReportLength();
    const std::size_t output = device.outputReportLength();
    // Report ID plus the longest reply the program reads, and plus the longest request.
    constexpr std::size_t kInputNeeded = 1 + kMeasurementLength;
    if (input >= kInputNeeded && output >= kMinOutputReportLength) {
        return;
    }
    m_shortReplyReported = true; // one notice about short data per link is enough
    showStatus([this, input, output] {
        return text("IDS_LinkReportsTooShort").arg(input).arg(kInputNeeded).arg(output).arg(kMinOutputReportLength);
    });
}

void LinkController::handleReport(const ReportHandOff::Report& report)
{
    // Reports of a device released meanwhile are dropped.
    if (m_liveSources.count(report.source) == 0) {
        return;
    }
    if (report.readerFailed) {
        if (report.source == m_currentSource && connected()) {
            loseLink(LinkLoss::ReaderFailed);
        }
        return;
    }
    if (report.source == m_currentSource) {
        m_readerFailuresWithoutReport = 0;
    }
    dispatchReport(report.reportId, report.payload);
}

void LinkController::loseLink(LinkLoss reason)
{
    const auto why = [this, reason, seconds = m_silenceWatchdog.interval() / 1000.0] {
        return reason == LinkLoss::ReaderFailed ? text("IDS_LinkLostReadFailed")
                                                : text("IDS_LinkLostNoMeasurements").arg(seconds, 0, 'g', 3);
    };
    {
        std::lock_guard lock(m_sendMutex);
        m_connected = false;
    }
    m_measurementLive = false;
    setLinkStatus(LinkStatus::Disconnected);
    showStatus(why);
    emit linkLost(reason, why());
    if (!m_searchAfterLinkLoss) {
        releaseAll();
        emit deviceListChanged();
        return;
    }
    // A device that fails again before it delivered anything is searched for again later, so a
    // node that fails at every open does not keep the program busy.
    if (reason == LinkLoss::ReaderFailed && ++m_readerFailuresWithoutReport > 1) {
        releaseAll();
        emit deviceListChanged();
        m_researchTimer.start();
        return;
    }
    onDeviceChange();
}

void LinkController::releaseAll()
{
    {
        std::lock_guard lock(m_sendMutex);
        m_connected = false;
        m_current.reset();
    }
    m_liveSources.clear();
    m_currentSource = 0;
    m_measurementLive = false;
    for (auto& entry : m_deviceList) {
        if (entry.device) {
            entry.device->release();
        }
    }
    m_deviceList.clear();
}

void LinkController::attachDispatcher(DeviceEntry& entry)
{
    entry.source = m_nextSource++;
    m_liveSources.insert(entry.source);
    entry.device->attach(
        [this, source = entry.source](std::uint8_t reportId, std::vector<std::uint8_t> payload) {
            // Runs on the reader thread: queue the report without waiting for the user-interface thread.
            m_handOff.push({source, reportId, std::move(payload), false});
        },
        [this, source = entry.source] { m_handOff.push({source, 0, {}, true}); });
}

bool LinkController::keepHealthyLink(const std::vector<HidDeviceInfo>& infos)
{
    std::shared_ptr<ClaimedDevice> current = currentDevice();
    if (!connected() || !current || !current->isHealthy()) {
        return false;
    }
    const auto still = std::find_if(infos.begin(), infos.end(), [&](const HidDeviceInfo& i) {
        return i.path == current->info().path && isTransducerText(deviceEntryText(i));
    });
    if (still == infos.end()) {
        return false;
    }
    // The transducer stayed attached: keep its link and its entries, and refresh the others.
    std::vector<DeviceEntry> kept;
    for (const auto& info : infos) {
        auto old = std::find_if(m_deviceList.begin(), m_deviceList.end(),
                                [&](const DeviceEntry& e) { return e.info.path == info.path && e.device; });
        if (old != m_deviceList.end() && old->device->isHealthy()) {
            kept.push_back(std::move(*old));
        } else {
            kept.push_back({deviceEntryText(info), info, nullptr});
        }
    }
    for (auto& entry : m_deviceList) {
        if (entry.device) {
            m_liveSources.erase(entry.source);
            entry.device->release();
        }
    }
    m_deviceList = std::move(kept);
    emit deviceListChanged();
    reportTransducersInUse();
    return true;
}

void LinkController::onDeviceChange()
{
    const std::vector<HidDeviceInfo> infos = m_backend.enumerate();
    if (keepHealthyLink(infos)) {
        return;
    }

    // 1. Release every device of the list.
    releaseAll();

    // 2. List the devices present; each passes through the disconnected state.
    for (const auto& info : infos) {
        m_deviceList.push_back({deviceEntryText(info), info, nullptr});
        setLinkStatus(LinkStatus::Disconnected);
    }
    emit deviceListChanged();

    // 3. No HID device at all.
    if (m_deviceList.empty()) {
        setLinkStatus(LinkStatus::NoConnection);
        return;
    }

    // 4. The first transducer in the list that opens read-write is linked; any other stays
    //    closed, so its replies never reach the dispatcher.
    m_researchTimer.stop();
    int transducers = 0;
    const DeviceEntry* linked = nullptr;
    std::function<QString()> refusal;
    std::function<QString()> refusalDetail;
    for (auto& entry : m_deviceList) {
        if (!isTransducerText(entry.text)) {
            continue;
        }
        ++transducers;
        if (!linked && linkTransducer(entry, refusal, refusalDetail)) {
            linked = &entry;
        }
    }
    if (!linked) {
        if (transducers > 0) {
            setLinkStatus(LinkStatus::NoConnection);
            showStatus(std::move(refusal), std::move(refusalDetail));
        }
        return;
    }
    reportTransducersInUse();
}

void LinkController::reportTransducersInUse()
{
    const auto transducers = std::count_if(m_deviceList.begin(), m_deviceList.end(),
                                           [](const DeviceEntry& e) { return isTransducerText(e.text); });
    const std::shared_ptr<ClaimedDevice> current = currentDevice();
    if (transducers > 1 && current && connected()) {
        showStatus([this, transducers, path = QString::fromStdString(current->info().path)] {
            return text("IDS_LinkTransducersInUse").arg(transducers).arg(path);
        });
    }
}

bool LinkController::linkTransducer(DeviceEntry& entry, std::function<QString()>& refusal,
                                    std::function<QString()>& refusalDetail)
{
    auto device = std::make_shared<ClaimedDevice>(entry.info, m_backend.open(entry.info));
    if (!device->isReadWrite()) {
        // The first refusal is the one reported. The backend's reason may start with the path,
        // which the short form leaves to the tool tip.
        if (!refusal) {
            const QString path = QString::fromStdString(entry.info.path);
            QString reason = QString::fromStdString(device->openError());
            if (reason.startsWith(path + QStringLiteral(": "))) {
                reason = reason.mid(path.size() + 2);
            }
            refusalDetail = [this, path, reason] { return text("IDS_LinkCannotOpenForReadWrite").arg(path, reason); };
            refusal = [this, reason] { return text("IDS_LinkCannotOpen").arg(reason); };
        }
        return false;
    }
    entry.device = std::move(device);
    {
        std::lock_guard lock(m_sendMutex);
        m_current = entry.device;
        m_connected = true;
    }
    attachDispatcher(entry);
    m_currentSource = entry.source;
    establishLink();
    checkReportLengths(*entry.device);
    return true;
}

} // namespace qmx::link
