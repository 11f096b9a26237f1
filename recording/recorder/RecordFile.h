#pragma once
// The recording file: opened for appending at the first line, buffered, written out by flush().

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <optional>

namespace qmx::recording {

/// Why a recording file could not be opened or written.
struct FileError {
    QString fileName; ///< the name as given (relative names refer to the working directory)
    QString reason;   ///< the system's description of the failure

    friend bool operator==(const FileError&, const FileError&) = default;
};

/// An append-only text file. Lines given to append() collect in a buffer; flush() writes the buffer
/// to the file and asks the system to put it on the disk. The owner calls flush() about once a
/// second and at the end of a run, so a crash or power cut loses at most the last second of lines.
/// An existing file is never truncated. After an error the file is closed and the buffer dropped:
/// nothing is ever written through a file that is not open. Used from one thread.
class RecordFile {
public:
    /// Buffered bytes above which append() writes the buffer out at once.
    static constexpr qsizetype kMaxBuffered = 256 * 1024;

    explicit RecordFile(QString fileName);
    /// Writes out what is buffered and closes the file; an error at this point is lost, so owners
    /// that want to report it call close() first.
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    /// Opens the file for appending when it is not open yet, then buffers `bytes`. Returns the
    /// error when the file cannot be opened, or when a write forced by a full buffer fails.
    std::optional<FileError> append(QByteArrayView bytes);
    /// Writes the buffer to the file and the file to the disk. Nothing to do when not open.
    std::optional<FileError> flush();
    /// Flushes and closes the file. Returns the error of the last flush, if any.
    std::optional<FileError> close();

    bool isOpen() const { return m_file.isOpen(); }
    /// Bytes waiting for the next flush.
    qsizetype buffered() const { return m_buffer.size(); }
    const QString& fileName() const { return m_fileName; }

private:
    std::optional<FileError> fail(const QString& reason);

    QString m_fileName;
    QFile m_file;
    QByteArray m_buffer;
};

} // namespace qmx::recording
