#include "settings/profile/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmx::settings {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

/// A file descriptor that is closed when it goes out of scope, unless it was closed on purpose.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    /// Closes now and reports the outcome (a delayed write error can show up only here).
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};

/// Removes the temporary file unless the replacement went through.
class TemporaryName {
public:
    explicit TemporaryName(QByteArray name) : m_name(std::move(name)) {}
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    ~TemporaryName()
    {
        if (!m_name.isEmpty())
            ::unlink(m_name.constData());
    }
    const QByteArray& name() const { return m_name; }
    void release() { m_name.clear(); }

private:
    QByteArray m_name;
};

std::optional<ReplaceFailure> failure(int error)
{
    return ReplaceFailure{systemReason(error)};
}

} // namespace

FileWriteCalls FileWriteCalls::system()
{
    return {[](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); },
            [](int fd) { return ::fsync(fd); }};
}

std::optional<ReplaceFailure> replaceFileContents(const QString& path, const QByteArray& bytes,
                                                  const FileWriteCalls& calls)
{
    QFileInfo info(path);
    // Replacing a link by a file would cut the link: the file it names is replaced instead, or
    // created when it does not exist yet.
    if (info.isSymLink())
        info = QFileInfo(info.exists() ? info.canonicalFilePath() : info.symLinkTarget());
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());

    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return failure(errno);
    if (exists) {
        if (S_ISDIR(old.st_mode))
            return failure(EISDIR);
        if (!S_ISREG(old.st_mode))
            return ReplaceFailure{QStringLiteral("Not a regular file")};
        // A write-protected file stays as it is, although its folder would let it be replaced.
        if (::access(target.constData(), W_OK) != 0)
            return failure(errno);
    }

    int fd = -1;
    QByteArray temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + "/." + QFile::encodeName(info.fileName()) + '.'
                    + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return failure(errno);
    }
    if (fd < 0)
        return failure(EEXIST);
    Descriptor file(fd);
    TemporaryName cleanup(temporary);

    if (exists) {
        if (::fchmod(file.get(), old.st_mode & 07777) != 0)
            return failure(errno);
        // Only the superuser can give the file back to its owner; for anyone else it is theirs.
        if (::geteuid() == 0 && ::fchown(file.get(), old.st_uid, old.st_gid) != 0) {
            // Not given back: the file is still saved, owned by whoever saved it.
        }
    }

    const char* data = bytes.constData();
    std::size_t left = std::size_t(bytes.size());
    while (left > 0) {
        const ssize_t written = calls.write(file.get(), data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return failure(errno);
        }
        if (written == 0)
            return failure(EIO);
        data += written;
        left -= std::size_t(written);
    }
    // The data must be on the disk before the new file takes the old one's place: a full disk or
    // a failing device may report its error only now.
    if (calls.sync(file.get()) != 0)
        return failure(errno);
    if (file.close() != 0)
        return failure(errno);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return failure(errno);
    cleanup.release();

    // Make the new name itself lasting.
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        if (::fsync(folderFd) != 0) {
            // The replacement has happened; only its survival of a power cut is less certain.
        }
        ::close(folderFd);
    }
    return std::nullopt;
}

} // namespace qmx::settings
