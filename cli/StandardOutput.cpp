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
    errno = 0;
    const auto size = static_cast<std::size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, stdout) != size || std::fflush(stdout) != 0) {
        noteFailure();
        return false;
    }
    return true;
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

} // namespace qmx::cli
