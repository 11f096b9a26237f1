#include "RecordFile.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmx::recording {

namespace {

QString reasonText(int error)
{
    return qt_error_string(error);
}

std::int64_t countLines(QByteArrayView bytes)
{
    return static_cast<std::int64_t>(std::count(bytes.begin(), bytes.end(), '\n'));
}

// Asks the system to put the written bytes on the disk. Files that cannot be synced this way
// (some file systems answer EINVAL or ENOTSUP) are accepted as they are.
int syncToDisk(int fd)
{
    if (::fdatasync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
        return errno;
    }
    return 0;
}

long writeToFile(int fd, const char* data, std::size_t size)
{
    return static_cast<long>(::write(fd, data, size));
}

/// Owns one file descriptor and closes it.
class UniqueFd {
public:
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace

/// The writer thread of one open file. It takes the bytes handed over in one queue, writes them,
/// syncs, and on a failure cuts the file back to its last complete line and stops.
/// Threads: the public functions are called by the owner's thread; run() is the writer thread.
/// m_queue, m_busy, m_stop and m_failure are guarded by m_mutex (m_failed and m_finished mirror
/// the last two for lock-free checks); m_batch and the descriptor are the writer thread's alone
/// while it runs.
class RecordFile::Writer {
public:
    struct Failure {
        QString reason;
        std::int64_t linesNotWritten = 0;
    };

    Writer(int fd, SyncFunction sync, WriteFunction write)
        : m_fd(fd), m_sync(std::move(sync)), m_write(std::move(write)), m_thread([this] { run(); })
    {
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    ~Writer()
    {
        requestStop();
        m_thread.join();
    }

    /// Lets the writer finish what is queued and end; returns at once.
    void requestStop()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
    }

    /// The writer thread has ended (after requestStop() and an empty queue, or after a failure).
    bool finished() const { return m_finished.load(std::memory_order_acquire); }

    /// Queues `bytes` (left empty, with spare capacity, for the next lines). Returns false, taking
    /// nothing, once the writer has failed.
    bool hand(QByteArray& bytes)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (m_failure) {
                return false;
            }
            if (m_queue.isEmpty()) {
                m_queue.swap(bytes); // the owner gets the emptied buffer of an earlier batch
            } else {
                m_queue.append(bytes);
            }
        }
        bytes.resize(0);
        m_wake.notify_one();
        return true;
    }

    /// Waits until everything handed over is written and synced, or the writer has failed.
    void waitIdle()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_failure || finished() || (!m_busy && m_queue.isEmpty()); });
    }

    bool failed() const { return m_failed.load(std::memory_order_acquire); }

    /// Waits until the writer thread has ended (after requestStop() or a failure).
    void waitFinished()
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return finished(); });
    }

    Failure takeFailure()
    {
        const std::lock_guard lock(m_mutex);
        return m_failure.value_or(Failure{});
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        writeUntilStoppedOrFailed(lock);
        m_finished.store(true, std::memory_order_release);
        m_idle.notify_all();
    }

    void writeUntilStoppedOrFailed(std::unique_lock<std::mutex>& lock)
    {
        for (;;) {
            m_wake.wait(lock, [this] { return m_stop || !m_queue.isEmpty(); });
            if (m_queue.isEmpty()) {
                return; // stopped with nothing left to write
            }
            m_batch.swap(m_queue);
            m_busy = true;
            lock.unlock();
            std::optional<Failure> failure = writeBatch();
            m_batch.resize(0);
            lock.lock();
            m_busy = false;
            if (failure) {
                // Lines queued behind the failed batch will never be written either.
                failure->linesNotWritten += countLines(m_queue);
                m_queue.clear();
                m_failure = std::move(failure);
                m_failed.store(true, std::memory_order_release);
                return;
            }
            if (m_queue.isEmpty()) {
                m_idle.notify_all();
            }
        }
    }

    std::optional<Failure> writeBatch()
    {
        const int fd = m_fd.get();
        const off_t start = ::lseek(fd, 0, SEEK_END);
        const char* data = m_batch.constData();
        const qsizetype size = m_batch.size();
        qsizetype done = 0;
        int error = 0;
        while (done < size) {
            const long n = m_write(fd, data + done, static_cast<std::size_t>(size - done));
            if (n > 0) {
                done += static_cast<qsizetype>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                error = n < 0 ? errno : EIO;
                break;
            }
        }
        if (error == 0) {
            if (const int syncError = m_sync(fd); syncError != 0) {
                // Every byte was written; the system could not confirm them on the disk.
                return Failure{reasonText(syncError), 0};
            }
            return std::nullopt;
        }
        // A torn last line would corrupt the file for every reader: cut back to the last line
        // that was written whole.
        const qsizetype keep = done > 0 ? m_batch.lastIndexOf('\n', done - 1) + 1 : 0;
        if (start >= 0 && done > keep && ::ftruncate(fd, start + static_cast<off_t>(keep)) != 0) {
            return Failure{reasonText(error) + QStringLiteral("; the incomplete last line could not be removed"),
                           countLines(QByteArrayView(m_batch).sliced(keep))};
        }
        return Failure{reasonText(error), countLines(QByteArrayView(m_batch).sliced(keep))};
    }

    UniqueFd m_fd;
    SyncFunction m_sync;
    WriteFunction m_write;
    QByteArray m_batch;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    QByteArray m_queue;
    bool m_busy = false;
    bool m_stop = false;
    std::optional<Failure> m_failure;
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread; // last: starts once everything it uses exists
};

RecordFile::RecordFile(QString fileName, bool followSymlinks, SyncFunction sync, WriteFunction write)
    : m_fileName(std::move(fileName)), m_followSymlinks(followSymlinks),
      m_sync(sync ? std::move(sync) : SyncFunction(syncToDisk)),
      m_write(write ? std::move(write) : WriteFunction(writeToFile))
{
    m_buffer.reserve(16 * 1024);
}

RecordFile::~RecordFile()
{
    close();
}

std::optional<FileError> RecordFile::checkTarget(const QString& fileName, bool followSymlinks)
{
    if (fileName.isEmpty()) {
        return FileError{fileName, QStringLiteral("no file name"), 0};
    }
    const QByteArray path = QFile::encodeName(fileName);
    struct stat info {};
    const int result = followSymlinks ? ::stat(path.constData(), &info) : ::lstat(path.constData(), &info);
    if (result != 0) {
        // A missing file is created at the first line; other failures show up when it is opened.
        return std::nullopt;
    }
    if (S_ISLNK(info.st_mode)) {
        return FileError{fileName, QString::fromLatin1(kIsASymbolicLink), 0};
    }
    if (!S_ISREG(info.st_mode)) {
        return FileError{fileName, QString::fromLatin1(kNotARegularFile), 0};
    }
    return std::nullopt;
}

std::optional<FileError> RecordFile::open()
{
    if (m_fileName.isEmpty()) {
        return FileError{m_fileName, QStringLiteral("no file name"), 0};
    }
    // O_NONBLOCK: opening a FIFO for writing would otherwise wait for a reader, for ever.
    int flags = O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC;
    if (!m_followSymlinks) {
        flags |= O_NOFOLLOW;
    }
    const int fd = ::open(QFile::encodeName(m_fileName).constData(), flags, 0666);
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP && !m_followSymlinks) {
            return FileError{m_fileName, QString::fromLatin1(kIsASymbolicLink), 0};
        }
        if (error == ENXIO) { // a FIFO without a reader, or a device that is not there
            return FileError{m_fileName, QString::fromLatin1(kNotARegularFile), 0};
        }
        return FileError{m_fileName, reasonText(error), 0};
    }
    UniqueFd owned(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return FileError{m_fileName, reasonText(errno), 0};
    }
    if (!S_ISREG(info.st_mode)) {
        return FileError{m_fileName, QString::fromLatin1(kNotARegularFile), 0};
    }
    // Writes to a regular file block as usual; the writer thread is there to take that wait.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_writer = std::make_unique<Writer>(owned.release(), m_sync, m_write);
    return std::nullopt;
}

std::optional<FileError> RecordFile::append(QByteArrayView bytes)
{
    if (!m_writer) {
        if (auto error = open()) {
            return error;
        }
    }
    if (m_writer->failed()) {
        auto error = takeFailure();
        error->linesNotWritten += countLines(bytes);
        return error;
    }
    m_buffer.append(bytes);
    if (m_buffer.size() >= kMaxBuffered) {
        return handOver();
    }
    return std::nullopt;
}

std::optional<FileError> RecordFile::handOver()
{
    if (!m_writer) {
        return std::nullopt;
    }
    if (m_writer->failed()) {
        return takeFailure();
    }
    if (!m_buffer.isEmpty() && !m_writer->hand(m_buffer)) {
        return takeFailure();
    }
    return std::nullopt;
}

std::optional<FileError> RecordFile::flush()
{
    return handOver();
}

std::optional<FileError> RecordFile::flushAndWait()
{
    if (auto error = handOver()) {
        return error;
    }
    if (!m_writer) {
        return std::nullopt;
    }
    m_writer->waitIdle();
    if (m_writer->failed()) {
        return takeFailure();
    }
    return std::nullopt;
}

void RecordFile::closeInBackground()
{
    if (!m_writer) {
        return;
    }
    // After a failure the lines stay here, to be counted when the file is closed.
    if (!m_buffer.isEmpty() && !m_writer->failed()) {
        m_writer->hand(m_buffer);
    }
    m_writer->requestStop();
}

bool RecordFile::closeFinished() const
{
    return !m_writer || m_writer->finished();
}

void RecordFile::waitUntilCloseFinished()
{
    if (m_writer) {
        m_writer->waitFinished();
    }
}

std::optional<FileError> RecordFile::close()
{
    auto error = flushAndWait();
    m_writer.reset();
    m_buffer.clear();
    return error;
}

bool RecordFile::isOpen() const
{
    return m_writer != nullptr;
}

std::optional<FileError> RecordFile::takeFailure()
{
    const Writer::Failure failure = m_writer->takeFailure();
    // The lines still waiting here never reach the file either.
    FileError error{m_fileName, failure.reason, failure.linesNotWritten + countLines(m_buffer)};
    m_buffer.clear();
    m_writer.reset(); // the writer has stopped; this joins it and closes the file
    return error;
}

} // namespace qmx::recording
