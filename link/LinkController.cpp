#include "LinkController.h"

#include "DeviceList.h"
#include "Protocol.h"

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
      m_handOff(
          [this](const ReportHandOff::Report& r) {
              // Reports of a device released meanwhile are dropped.
              if (m_liveSources.count(r.source) != 0) {
                  DispatchReport(r.reportId, r.payload);
              }
          },
          this),
      m_decimalSeparator(QLocale::system().decimalPoint().front()),
      m_pollTimer(kPollPeriodSeconds, [this] { ZylTimer_ReadDataTimer(); })
{
    m_replyWatchdog.setSingleShot(true);
    m_replyWatchdog.setInterval(kReplyTimeoutMs);
    connect(&m_replyWatchdog, &QTimer::timeout, this, [this] { m_pollTimer.start(); });
    connect(&m_backend, &HidBackend::devicesChanged, this, &LinkController::JvHidDeviceController1DeviceChange);
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

void LinkController::SendReport(std::span<const std::uint8_t> payload)
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
    m_replyWatchdog.start();
}

void LinkController::SendCommand(std::uint8_t code)
{
    suspendPollForRequest();
    const std::array<std::uint8_t, 1> payload{code};
    SendReport(payload);
}

void LinkController::SendLinkState(bool flag)
{
    std::array<std::uint8_t, kLongPayload> payload{};
    payload[0] = CMD_SET_LINK_STATE;
    payload[1] = flag ? 1 : 0;
    SendReport(payload);
}

void LinkController::ZylTimer_ReadDataTimer()
{
    const std::array<std::uint8_t, 1> payload{CMD_GET_MEASUREMENT};
    SendReport(payload);
}

void LinkController::startPollTimer()
{
    m_replyWatchdog.stop();
    m_pollTimer.start();
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
        return; // too short to be a measurement: nothing is read past its end
    }
    if (m_measurementObserver) {
        m_measurementObserver(m_measurement);
    }
    ++m_frameCount;
}

void LinkController::DispatchReport(std::uint8_t /*reportId*/, std::span<const std::uint8_t> payload)
{
    if (payload.empty()) {
        return; // no code at all: nothing to dispatch
    }
    const std::uint8_t code = payload[0];
    switch (code) {
    case CMD_GET_INFO:
        if (payload.size() >= kInfoReplyMin) {
            if (auto info = decodeDeviceInfo(payload)) {
                m_deviceInfo = *info;
                emit connectionTextChanged(connectionText(m_deviceInfo, m_decimalSeparator));
                SendCommand(CMD_GET_SENSOR_SETTINGS);
            }
        }
        break;
    case CMD_GET_MEASUREMENT:
        handleMeasurement(payload);
        break;
    case CMD_GET_SENSOR_SETTINGS:
        if (payload.size() >= kSensorSettingsReplyMin) {
            emit sensorSettingsReceived(toByteArray(payload));
            SendCommand(CMD_GET_IO_SETTINGS);
        }
        break;
    case CMD_GET_IO_SETTINGS:
        if (payload.size() >= kIoSettingsReplyMin) {
            emit ioSettingsReceived(toByteArray(payload));
            SendLinkState(true);
        }
        break;
    case CMD_SET_LINK_STATE:
        if (payload.size() >= kLinkStateReplyMin && payload[1] == 0) {
            SendCommand(m_pendingCommand);
        }
        break;
    case CMD_SET_SENSOR_SETTINGS:
        emit statusMessage(text("IDS_48"));
        emit sensorSettingsWritten();
        SendCommand(CMD_GET_SENSOR_SETTINGS);
        break;
    case CMD_SET_IO_SETTINGS:
        emit statusMessage(text("IDS_47"));
        SendCommand(CMD_GET_IO_SETTINGS);
        break;
    case CMD_TARE_SUM:
        emit statusMessage(text("IDS_49"));
        break;
    case CMD_RESET_MIN_MAX:
        emit statusMessage(text("IDS_50"));
        break;
    case CMD_FACTORY_SENSOR_SETTINGS:
        emit statusMessage(text("IDS_52"));
        SendCommand(CMD_GET_SENSOR_SETTINGS);
        break;
    case CMD_FACTORY_COMM_SETTINGS:
        emit statusMessage(QStringLiteral("Ustawienia domyslne komunikacji przywrócone"));
        SendCommand(CMD_GET_IO_SETTINGS);
        break;
    case CMD_FACTORY_OUTPUT_SETTINGS:
        emit statusMessage(QStringLiteral("Ustawienia domyslne wejść-wyjść przywrócone"));
        SendCommand(CMD_GET_IO_SETTINGS);
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

void LinkController::setLinkStatus(TLinkStatus status)
{
    m_status = status;
    const char* id = "IDS_44";
    if (status != TLinkStatus::lsConnected) {
        m_pollTimer.stop();
        m_replyWatchdog.stop();
        id = status == TLinkStatus::lsNoConnection ? "IDS_45" : "IDS_46";
    }
    emit linkStatusChanged(status, text(id));
}

void LinkController::establishLink()
{
    setLinkStatus(TLinkStatus::lsConnected);
    SendLinkState(false);
    m_pendingCommand = CMD_GET_INFO;
}

void LinkController::releaseAll()
{
    {
        std::lock_guard lock(m_sendMutex);
        m_connected = false;
        m_current.reset();
    }
    m_liveSources.clear();
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
    entry.device->attach([this, source = entry.source](std::uint8_t reportId, std::vector<std::uint8_t> payload) {
        // Runs on the reader thread: queue the report without waiting for the user-interface thread.
        m_handOff.push({source, reportId, std::move(payload)});
    });
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
    return true;
}

void LinkController::JvHidDeviceController1DeviceChange()
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
        setLinkStatus(TLinkStatus::lsDisconnected);
    }
    emit deviceListChanged();

    // 3. No HID device at all.
    if (m_deviceList.empty()) {
        setLinkStatus(TLinkStatus::lsNoConnection);
        return;
    }

    // 4. Every entry named exactly like the transducer is opened and linked; the last one stays current.
    for (auto& entry : m_deviceList) {
        if (!isTransducerText(entry.text)) {
            continue;
        }
        entry.device = std::make_shared<ClaimedDevice>(entry.info, m_backend.open(entry.info));
        {
            std::lock_guard lock(m_sendMutex);
            m_current = entry.device;
            m_connected = entry.device->isReadWrite();
        }
        if (entry.device->isReadWrite()) {
            attachDispatcher(entry);
            establishLink();
        } else {
            setLinkStatus(TLinkStatus::lsNoConnection);
            emit statusMessage(QStringLiteral("Nie można otworzyć przetwornika QMX80NET do odczytu i zapisu (%1): %2")
                                   .arg(QString::fromStdString(entry.info.path),
                                        QString::fromStdString(entry.device->openError())));
        }
    }
}

} // namespace qmx::link
