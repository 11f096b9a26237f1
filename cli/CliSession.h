#pragma once
// A headless connection to the transducer for the command-line tool: runs the same device search
// and start-up exchange as the program, on the same link code, without any window.

#include "ExitCodes.h"
#include "StandardOutput.h"

#include "lang/StringTable.h"
#include "link/HidBackend.h"
#include "link/LinkController.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

namespace qmx::cli {

/// Why a session could not be set up.
enum class SessionError { None, NoTransducer, CannotOpen, NoAnswer, WentAway };

/// How long a session waits for the transducer. The tool uses the defaults; tests shorten them.
struct SessionLimits {
    /// Wait for the whole start-up exchange.
    int startupTimeoutMs = 5000;
    /// Time without a measurement while polling after which the link counts as lost.
    int measurementSilenceMs = link::LinkController::kMeasurementSilenceMs;
    /// Seconds between polls; 0 keeps the link's own period.
    double pollIntervalSeconds = 0.0;
};

class CliSession {
public:
    explicit CliSession(link::HidBackend& backend, const SessionLimits& limits = {});

    /// Searches the devices, connects to the transducer and waits (running the event loop) until
    /// the start-up exchange has ended or the start-up time of the limits passed.
    SessionError connect();
    /// As connect(), waiting at most `timeoutMs`.
    SessionError connect(int timeoutMs);
    /// A message in plain words for an error of connect().
    QString errorText(SessionError error) const;

    link::LinkController& link() { return m_link; }
    const QString& connectionText() const { return m_connectionText; }
    const QByteArray& sensorSettingsFrame() const { return m_sensorFrame; }
    const QByteArray& ioSettingsFrame() const { return m_ioFrame; }
    /// True once the link to the transducer was lost (reader failure or measurements stopped);
    /// the tool does not search again but ends.
    bool linkLost() const { return !m_linkLostText.isEmpty(); }
    /// Why the link was lost, in plain words; empty while it holds.
    const QString& linkLostText() const { return m_linkLostText; }

private:
    link::LinkController m_link;
    SessionLimits m_limits;
    QString m_connectionText;
    QString m_statusLine;
    QByteArray m_sensorFrame;
    QByteArray m_ioFrame;
    bool m_exchangeDone = false;
    QString m_linkLostText;
};

/// Runs the event loop until `done()` holds or `timeoutMs` passes; returns `done()`. Between
/// events the thread sleeps; `done()` is checked after each event the loop handles.
bool runUntil(const std::function<bool()>& done, int timeoutMs);

/// Runs a verb that needs the transducer: refuses options that did not parse (their message, exit
/// kExitUsage), connects (the reason, exit kExitNoDevice), then hands the session to `run`.
template <typename Args, typename Run>
int runWithTransducer(link::HidBackend& backend, const SessionLimits& limits, const std::variant<Args, QString>& parsed,
                      Run run)
{
    if (const auto* error = std::get_if<QString>(&parsed)) {
        printError(*error);
        return kExitUsage;
    }
    CliSession session(backend, limits);
    const SessionError error = session.connect();
    if (error != SessionError::None) {
        printError(session.errorText(error));
        return kExitNoDevice;
    }
    return run(session, std::get<Args>(parsed));
}

} // namespace qmx::cli
