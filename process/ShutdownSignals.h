#pragma once
// Turns the signals that ask a program to end (SIGTERM from a logout, a shutdown or a service
// manager; SIGINT from Ctrl-C; SIGHUP when the terminal goes) into a Qt signal on the event loop,
// so that the program ends through its ordinary closing path instead of dying where it stands.
//
// Threads: the operating system may run the handler on any thread. The handler does nothing but
// write the signal's number into a pipe (a self-pipe); a QSocketNotifier on the pipe's other end
// emits shutdownRequested() on the thread that owns the object. No work is done in the handler.
//
// The same signal a second time ends the program at once, as the signal's default would: a
// program whose orderly close is stuck (a blocked call, a dialog nobody answers) can always be
// ended. A signal that was already ignored when the object was made (nohup, a background job of
// a script) stays ignored.

#include <QObject>

#include <csignal>
#include <initializer_list>
#include <vector>

class QSocketNotifier;

namespace qmx::process {

class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    /// Catches `signalNumbers` (each below 64) for the object's lifetime and restores the earlier
    /// handlers when it goes. Only one object may exist at a time (std::logic_error otherwise);
    /// std::system_error when the pipe or a handler cannot be set up.
    explicit ShutdownSignals(std::initializer_list<int> signalNumbers = {SIGTERM, SIGINT, SIGHUP},
                             QObject* parent = nullptr);
    ~ShutdownSignals() override;
    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

    /// True once a caught signal has reached the event loop.
    bool requested() const { return m_requested; }
    /// Whether `signalNumber` is being caught (false for one that was ignored from the start).
    bool catches(int signalNumber) const;

signals:
    /// A caught signal has arrived; emitted from the event loop, once per signal.
    void shutdownRequested(int signalNumber);

private:
    void takeSignals();

    struct Installed {
        int signalNumber = 0;
        struct sigaction previous {};
    };
    std::vector<Installed> m_installed;
    int m_readFd = -1;
    int m_writeFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    bool m_requested = false;
};

} // namespace qmx::process
