#include "RecordFile.h"

#include <cerrno>
#include <cstring>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace qmx::recording {

namespace {

// Asks the system to put the written bytes on the disk. Files that cannot be synced (pipes,
// character devices) are accepted as they are: their bytes already left the program.
QString syncToDisk(int fd)
{
#if defined(Q_OS_UNIX)
    if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
#elif defined(Q_OS_WIN)
    if (::_commit(fd) != 0 && errno != EBADF) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
#else
    Q_UNUSED(fd);
#endif
    return {};
}

} // namespace

RecordFile::RecordFile(QString fileName) : m_fileName(std::move(fileName)), m_file(m_fileName)
{
    m_buffer.reserve(16 * 1024);
}

RecordFile::~RecordFile()
{
    close();
}

std::optional<FileError> RecordFile::append(QByteArrayView bytes)
{
    if (!m_file.isOpen()) {
        // Unbuffered: the buffer here is the only one, so flush() really writes everything.
        if (m_fileName.isEmpty()) {
            return fail(QStringLiteral("no file name"));
        }
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            return fail(m_file.errorString());
        }
    }
    m_buffer.append(bytes);
    if (m_buffer.size() >= kMaxBuffered) {
        return flush();
    }
    return std::nullopt;
}

std::optional<FileError> RecordFile::flush()
{
    if (!m_file.isOpen()) {
        return std::nullopt;
    }
    qsizetype done = 0;
    while (done < m_buffer.size()) {
        const qint64 n = m_file.write(m_buffer.constData() + done, m_buffer.size() - done);
        if (n <= 0) {
            return fail(m_file.errorString());
        }
        done += static_cast<qsizetype>(n);
    }
    m_buffer.resize(0); // keeps its capacity for the next second of lines
    if (const QString error = syncToDisk(m_file.handle()); !error.isEmpty()) {
        return fail(error);
    }
    return std::nullopt;
}

std::optional<FileError> RecordFile::close()
{
    if (!m_file.isOpen()) {
        m_buffer.clear();
        return std::nullopt;
    }
    auto error = flush();
    m_file.close();
    return error;
}

std::optional<FileError> RecordFile::fail(const QString& reason)
{
    m_file.close();
    m_buffer.clear();
    return FileError{m_fileName, reason.isEmpty() ? QStringLiteral("unknown error") : reason};
}

} // namespace qmx::recording
