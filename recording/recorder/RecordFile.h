#pragma once
// The recording file: opened for appending at the first line, buffered, and written out and synced
// to the disk by a writer thread of its own, so a slow disk never stalls the thread that records.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace qmx::recording {

/// Why a recording file could not be opened or written.
struct FileError {
    QString fileName; ///< the name as given (relative names refer to the working directory)
    QString reason;   ///< the system's description of the failure
    /// Lines handed to the file that are not in it (cut off, queued or still buffered) when it failed.
    std::int64_t linesNotWritten = 0;

    friend bool operator==(const FileError&, const FileError&) = default;
};

/// Reason given for a name that is not a regular file (a FIFO, a device, a folder).
inline constexpr const char* kNotARegularFile = "not a regular file";
/// Reason given for a symbolic link when links are not followed.
inline constexpr const char* kIsASymbolicLink = "is a symbolic link";

/// An append-only text file of whole lines.
///
/// append() collects lines in a buffer on the owner's thread; flush() hands the buffer to the
/// file's writer thread, which writes it and asks the system to put it on the disk (fdatasync), so
/// neither a slow write nor a slow sync ever waits on the owner's thread. The owner calls flush()
/// about once a second, so a crash or power cut loses at most the last second or so of lines.
///
/// Only regular files are written: the file is opened without blocking (a FIFO cannot hold the
/// caller), and anything else is refused. Without `followSymlinks` a symbolic link is refused
/// too. An existing file is never truncated by opening it.
///
/// When a write or sync fails, the file is cut back to its last complete line, the writer stops,
/// and the error counts every line handed to the file that is not in it. Nothing is written after
/// an error. A failure surfaces at the owner's next append(), flush() or close().
///
/// Threads: every public function is called from one owner thread. The writer thread shares only
/// the queue of handed-over bytes and the error, both under the writer's mutex.
class RecordFile {
public:
    /// Buffered bytes above which append() hands the buffer to the writer at once.
    static constexpr qsizetype kMaxBuffered = 256 * 1024;
    /// Puts the written bytes of an open file descriptor on the disk; returns 0 or an errno value.
    using SyncFunction = std::function<int(int fd)>;
    /// Writes bytes to an open file descriptor as ::write does (tests play a full disk with it).
    using WriteFunction = std::function<long(int fd, const char* data, std::size_t size)>;

    /// `sync` replaces the system's fdatasync (tests and benchmarks simulate slow media with it),
    /// `write` the system's write.
    explicit RecordFile(QString fileName, bool followSymlinks = true, SyncFunction sync = {}, WriteFunction write = {});
    /// Hands over what is buffered, waits for the writer and closes the file; an error at this
    /// point is lost, so owners that want to report it call close() first.
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    /// Checks, without opening anything and without blocking on a FIFO, that `fileName` can be a
    /// recording file: it does not exist yet, or it is a regular file (a symbolic link to one when
    /// `followSymlinks`). Returns the refusal otherwise.
    static std::optional<FileError> checkTarget(const QString& fileName, bool followSymlinks);

    /// Opens the file for appending when it is not open yet, then buffers `bytes` (whole lines).
    /// Returns the error when the file cannot be opened or the writer has failed.
    std::optional<FileError> append(QByteArrayView bytes);
    /// Hands the buffered lines to the writer thread and returns at once. Returns an error the
    /// writer met since the last call, if any. Nothing to do when the file is not open.
    std::optional<FileError> flush();
    /// Hands over the buffered lines and waits until the writer has written and synced them.
    std::optional<FileError> flushAndWait();
    /// Writes out everything, stops the writer and closes the file. Returns the error, if any.
    /// Waits for the writer; at once when closeFinished().
    std::optional<FileError> close();
    /// Hands over the buffered lines and lets the writer write them, sync and end, without
    /// waiting; nothing may be appended afterwards. close() then collects the result.
    void closeInBackground();
    /// True when nothing is left for the writer: close() will not wait.
    bool closeFinished() const;
    /// After closeInBackground(): waits until closeFinished().
    void waitUntilCloseFinished();

    bool isOpen() const;
    /// Bytes waiting for the next flush on the owner's side.
    qsizetype buffered() const { return m_buffer.size(); }
    const QString& fileName() const { return m_fileName; }

private:
    class Writer;

    std::optional<FileError> open();
    std::optional<FileError> handOver();
    std::optional<FileError> takeFailure();

    QString m_fileName;
    bool m_followSymlinks;
    SyncFunction m_sync;
    WriteFunction m_write;
    QByteArray m_buffer;
    std::unique_ptr<Writer> m_writer;
};

} // namespace qmx::recording
