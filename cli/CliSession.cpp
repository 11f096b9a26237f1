#include "CliSession.h"

#include "link/DeviceList.h"
#include "link/Protocol.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

#include <cstdio>

namespace qmx::cli {

bool runUntil(const std::function<bool()>& done, int timeoutMs)
{
    // Sleeps in the event dispatcher until something happens (a report handed over by the reader
    // thread, a timer, a signal through its pipe) and checks `done` after each wake-up. The
    // deadline is a timer too, so the wait ends on time even when nothing else happens.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(std::max(0, timeoutMs));
    while (!done() && deadline.isActive()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

CliSession::CliSession(link::HidBackend& backend, const SessionLimits& limits)
    : m_link(backend, [](std::string_view id) { return lang::lookupText(id, lang::Language::Polish); })
    , m_limits(limits)
{
    m_link.setMeasurementSilenceLimit(limits.measurementSilenceMs);
    if (limits.pollIntervalSeconds > 0.0) {
        m_link.pollTimer().setInterval(limits.pollIntervalSeconds);
    }
    // A lost link ends the tool's verbs; a new search would only hide the loss.
    m_link.setSearchAfterLinkLoss(false);
    // The message goes out at once, whichever verb runs; the verb then ends with exit code 3.
    QObject::connect(&m_link, &link::LinkController::linkLost, [this](link::LinkLoss reason, const QString&) {
        m_linkLostText = reason == link::LinkLoss::ReaderFailed
                             ? QStringLiteral("lost the link to the transducer: reading from the device failed")
                             : QStringLiteral("lost the link to the transducer: no measurement for %1 s while polling")
                                   .arg(m_link.measurementSilenceLimitMs() / 1000.0, 0, 'g', 3);
        std::fflush(stdout);
        std::fputs(("qmx80net-cli: " + m_linkLostText + u'\n').toLocal8Bit().constData(), stderr);
    });
    QObject::connect(&m_link, &link::LinkController::connectionTextChanged,
                     [this](const QString& text) { m_connectionText = text; });
    QObject::connect(&m_link, &link::LinkController::statusMessage, [this](const QString& text) { m_statusLine = text; });
    QObject::connect(&m_link, &link::LinkController::sensorSettingsReceived,
                     [this](const QByteArray& frame) { m_sensorFrame = frame; });
    QObject::connect(&m_link, &link::LinkController::ioSettingsReceived, [this](const QByteArray& frame) {
        m_ioFrame = frame;
        m_exchangeDone = false;
    });
    QObject::connect(&m_link, &link::LinkController::replyDispatched, [this](std::uint8_t code) {
        // The exchange ends with the acknowledgement of the link-state request that follows 0x03.
        if (code == link::CMD_SET_LINK_STATE && !m_ioFrame.isEmpty()) {
            m_exchangeDone = true;
        }
    });
}

SessionError CliSession::connect()
{
    return connect(m_limits.startupTimeoutMs);
}

SessionError CliSession::connect(int timeoutMs)
{
    m_link.onDeviceChange();
    const auto& list = m_link.deviceList();
    const bool found = std::any_of(list.begin(), list.end(), [](const link::DeviceEntry& e) {
        return link::isTransducerText(e.text);
    });
    if (!found) {
        return SessionError::NoTransducer;
    }
    if (!m_link.connected()) {
        return SessionError::CannotOpen;
    }
    // A transducer that goes away meanwhile ends the wait at once.
    if (!runUntil([this] { return m_exchangeDone || !m_link.connected(); }, timeoutMs) || !m_exchangeDone) {
        return m_link.connected() ? SessionError::NoAnswer : SessionError::WentAway;
    }
    return SessionError::None;
}

QString CliSession::errorText(SessionError error) const
{
    switch (error) {
    case SessionError::None:
        return {};
    case SessionError::NoTransducer:
        return QStringLiteral("no QMX80NET transducer found (use --simulate for the virtual one)");
    case SessionError::CannotOpen:
        return QStringLiteral("the transducer cannot be opened for reading and writing: ") + m_statusLine;
    case SessionError::NoAnswer:
        return QStringLiteral("the transducer did not complete the start-up exchange");
    case SessionError::WentAway:
        return QStringLiteral("the transducer went away during the start-up exchange");
    }
    return {};
}

} // namespace qmx::cli
