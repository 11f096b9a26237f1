#pragma once
// Replacing a file's contents as one step: the new contents go to a temporary file in the same
// folder, which is written, flushed to the disk and checked before it takes the old file's place.
// Any failure on the way leaves the old file exactly as it was.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <optional>

namespace qmx::settings {

/// The system calls the replacement writes and flushes through. They follow the POSIX calls: -1
/// with errno set on failure. Tests put failing ones in place to play a full disk or a failing
/// device.
struct FileWriteCalls {
    std::function<ssize_t(int fd, const void* data, std::size_t size)> write;
    std::function<int(int fd)> sync;

    /// The system's own write() and fsync().
    static FileWriteCalls system();
};

/// Why a replacement did not happen: the system's reason as it words it ("No space left on
/// device", "Permission denied").
struct ReplaceFailure {
    QString reason;
};

/// Replaces the contents of the file at `path` with `bytes` (creating a missing file). A symbolic
/// link is followed, and the file it names is replaced (or created, for a link to a file that does
/// not exist yet). An existing file keeps its permissions.
/// Refuses a file that is not a regular file or that the user may not write.
[[nodiscard]] std::optional<ReplaceFailure> replaceFileContents(const QString& path, const QByteArray& bytes,
                                                                const FileWriteCalls& calls = FileWriteCalls::system());

} // namespace qmx::settings
