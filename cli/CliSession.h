#pragma once
// A headless connection to the transducer for the command-line tool: runs the same device search
// and start-up exchange as the program, on the same link code, without any window.

#include "lang/StringTable.h"
#include "link/HidBackend.h"
#include "link/LinkController.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace qmx::cli {

/// Why a session could not be set up.
enum class SessionError { None, NoTransducer, CannotOpen, NoAnswer };

class CliSession {
public:
    explicit CliSession(link::HidBackend& backend);

    /// Searches the devices, connects to the transducer and waits (running the event loop) until
    /// the start-up exchange has ended or `timeoutMs` passed.
    SessionError connect(int timeoutMs = 5000);
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

} // namespace qmx::cli
