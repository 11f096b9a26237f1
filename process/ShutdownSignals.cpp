#include "process/ShutdownSignals.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace qmx::process {

namespace {

// A signal handler can reach nothing but process-wide state, and lock-free atomics are the only
// shared state it may touch safely.
std::atomic<int> g_writeFd{-1};
std::atomic<std::uint64_t> g_caughtOnce{0}; // bit n: signal n has arrived since the object was made
std::atomic<bool> g_instanceAlive{false};
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<std::uint64_t>::is_always_lock_free);

constexpr int kHighestSignal = 63;

extern "C" void onShutdownSignal(int signalNumber)
{
    const int savedErrno = errno;
    const std::uint64_t bit = std::uint64_t{1} << signalNumber;
    if ((g_caughtOnce.fetch_or(bit) & bit) != 0) {
        // Asked twice: end now. The signal stays blocked until the handler returns, then the
        // default action ends the process.
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
        errno = savedErrno;
        return;
    }
    const auto byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request, so a failed write loses nothing.
    [[maybe_unused]] const auto written = ::write(g_writeFd.load(), &byte, 1);
    errno = savedErrno;
}

[[noreturn]] void throwSystemError(const char* what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

ShutdownSignals::ShutdownSignals(std::initializer_list<int> signalNumbers, QObject* parent) : QObject(parent)
{
    if (g_instanceAlive.exchange(true)) {
        throw std::logic_error("ShutdownSignals: only one object may catch the shutdown signals");
    }
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        g_instanceAlive.store(false);
        throwSystemError("pipe2");
    }
    m_readFd = fds[0];
    m_writeFd = fds[1];
    g_writeFd.store(m_writeFd);
    g_caughtOnce.store(0);

    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::takeSignals);

    for (const int signalNumber : signalNumbers) {
        if (signalNumber <= 0 || signalNumber > kHighestSignal) {
            continue;
        }
        Installed entry;
        entry.signalNumber = signalNumber;
        if (::sigaction(signalNumber, nullptr, &entry.previous) != 0) {
            continue;
        }
        if (entry.previous.sa_handler == SIG_IGN) {
            continue; // ignored by whoever started us: keep it so
        }
        struct sigaction action {};
        action.sa_handler = onShutdownSignal;
        sigfillset(&action.sa_mask);
        // No SA_RESTART: a call blocked when the signal comes returns with EINTR instead of
        // waiting on, so the program gets back to its event loop.
        action.sa_flags = 0;
        if (::sigaction(signalNumber, &action, nullptr) != 0) {
            continue;
        }
        m_installed.push_back(entry);
    }
}

ShutdownSignals::~ShutdownSignals()
{
    for (const Installed& entry : m_installed) {
        ::sigaction(entry.signalNumber, &entry.previous, nullptr);
    }
    g_writeFd.store(-1);
    delete m_notifier;
    ::close(m_readFd);
    ::close(m_writeFd);
    g_instanceAlive.store(false);
}

bool ShutdownSignals::catches(int signalNumber) const
{
    for (const Installed& entry : m_installed) {
        if (entry.signalNumber == signalNumber) {
            return true;
        }
    }
    return false;
}

void ShutdownSignals::takeSignals()
{
    std::array<unsigned char, 16> bytes{};
    for (;;) {
        const auto count = ::read(m_readFd, bytes.data(), bytes.size());
        if (count <= 0) {
            if (count < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        for (ssize_t i = 0; i < count; ++i) {
            m_requested = true;
            emit shutdownRequested(bytes[static_cast<std::size_t>(i)]);
        }
    }
}

} // namespace qmx::process
