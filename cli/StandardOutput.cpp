#include "StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace qmx::cli {

namespace {

int g_outputErrno = 0; // reason of the first failed write; 0 while every write went through

void noteFailure()
{
    if (g_outputErrno == 0) {
        g_outputErrno = errno != 0 ? errno : EIO;
    }
}

} // namespace

bool writeStandardOutput(const QByteArray& bytes)
{
    if (g_outputErrno != 0) {
        return false;
    }
    // A signal that asks the tool to end interrupts a write blocked on a slow reader (the signal
    // handlers do not restart calls). The write goes on, so the last line comes out whole; the
    // tool then ends through its event loop. A reader that never reads again is left to the
    // second signal, which ends the tool at once.
    const char* data = bytes.constData();
    auto left = static_cast<std::size_t>(bytes.size());
    for (;;) {
        errno = 0;
        const std::size_t written = std::fwrite(data, 1, left, stdout);
        data += written;
        left -= written;
        if (left == 0 && std::fflush(stdout) == 0) {
            return true;
        }
        if (errno != EINTR) {
            noteFailure();
            return false;
        }
        std::clearerr(stdout);
    }
}

bool standardOutputFailed()
{
    return g_outputErrno != 0 || std::ferror(stdout) != 0;
}

int finishStandardOutput(int exitCode)
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        noteFailure();
    }
    if (g_outputErrno == 0) {
        return exitCode;
    }
    if (g_outputErrno != EPIPE) {
        std::fprintf(stderr, "qmx80net-cli: write error: %s\n", std::strerror(g_outputErrno));
    }
    return exitCode != 0 ? exitCode : kExitWriteError;
}

void printError(const QString& text)
{
    std::fputs(("qmx80net-cli: " + text + u'\n').toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace qmx::cli
