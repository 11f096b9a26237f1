#pragma once
// Profile files on disk: reading a file with the reason when it cannot be read, writing one key
// at once, and a batch that reads the file once, changes many keys and writes it once. Every write
// replaces the whole file through a temporary file in the same folder, flushed to the disk and
// checked first, so a refused or failed write leaves the old file intact.

#include "settings/profile/AtomicFile.h"
#include "settings/profile/ProfileDocument.h"

#include <QString>

#include <optional>
#include <span>

namespace qmx::settings {

/// Files larger than this are not profile files: they are not read and never overwritten.
inline constexpr qint64 kMaxProfileFileSize = 16 * 1024 * 1024;

/// A file that could not be read.
struct ReadError {
    enum class Reason {
        Unreadable, ///< the system refused to read it, or it is not a regular file
        TooLarge,   ///< larger than kMaxProfileFileSize
        NotText,    ///< UTF-16 or binary contents, which are refused rather than misread
    };
    Reason reason = Reason::Unreadable;
    QString path;   ///< the file's full name, with the platform's separators
    QString detail; ///< why, in the system's words where the system gave the reason

    /// The message the user sees: "Unable to read <path>: <detail>".
    QString message() const;
};

/// What reading a profile file gave.
struct ProfileRead {
    ProfileDocument document;         ///< empty when the file is missing or could not be read
    bool exists = false;              ///< something is at the path
    std::optional<ReadError> failure; ///< set when the file exists but could not be read
};

/// Reads the file at `path`. A missing file is not a failure: it reads as an empty document.
ProfileRead readProfile(const QString& path);

/// A write that did not happen. The file on disk is as it was before the write.
struct WriteError {
    enum class Reason {
        Unreadable,   ///< the existing file (or what is in its place) could not be read
        TooLarge,     ///< the existing file is larger than kMaxProfileFileSize
        NotStorable,  ///< a name or the text cannot be stored as one line (see setValue)
        Refused,      ///< the system refused to create or replace the file
    };
    Reason reason = Reason::Refused;
    QString path;   ///< the file's full name, with the platform's separators
    QString detail; ///< why, in the system's words where the system gave the reason

    /// The message the user sees: "Unable to write to <path>: <detail>".
    QString message() const;
};

/// Why the file at `path` could not be replaced by a save, checked without writing: its folder
/// does not let a file be created, or the file is not a regular file, may not be read or written
/// by the user, or is larger than kMaxProfileFileSize. Nothing when a save could go ahead.
std::optional<WriteError> checkReplaceable(const QString& path);

/// A document read from a file for a batch of changes, written back once by commit().
class ProfileBatch {
public:
    /// Reads the file at `path` (a missing file gives an empty document).
    explicit ProfileBatch(QString path);

    /// The value of a key as the document holds it now (see ProfileDocument::value).
    std::optional<QString> value(QStringView section, QStringView key) const;

    /// Changes a key in memory; fails with Reason::NotStorable, changing nothing, when the key line
    /// could not be read back as written or the file's encoding cannot hold it.
    [[nodiscard]] std::optional<WriteError> setValue(QStringView section, QStringView key,
                                                     QStringView text);

    /// Writes the whole document in place of the file, creating a missing file (see
    /// replaceFileContents). Refuses, leaving the file alone, when the existing file could not be
    /// read in full.
    [[nodiscard]] std::optional<WriteError> commit(const FileWriteCalls& calls = FileWriteCalls::system());

    /// The document as it stands.
    const ProfileDocument& document() const { return m_document; }

private:
    WriteError error(WriteError::Reason reason, QString detail) const;

    QString m_path;
    ProfileDocument m_document;
    std::optional<WriteError> m_readFailure;
};

/// One profile file, read and written key by key.
class ProfileFile {
public:
    /// The file at `path`; it need not exist.
    explicit ProfileFile(QString path);

    /// The path given at construction.
    const QString& path() const { return m_path; }

    /// Reads the file afresh and returns the key's value (see ProfileDocument::value). A missing,
    /// unreadable or oversized file reads as empty; readProfile() tells why.
    std::optional<QString> read(QStringView section, QStringView key) const;

    /// Reads the file, sets the one key and writes the file back at once (see ProfileBatch).
    [[nodiscard]] std::optional<WriteError> write(QStringView section, QStringView key,
                                                  QStringView text);

    /// Starts a batch of changes on this file.
    ProfileBatch batch() const { return ProfileBatch(m_path); }

private:
    QString m_path;
};

/// One key to write: its section, its name and its text.
struct ProfileEntry {
    QString section;
    QString key;
    QString text;
};

/// Writes every entry, in order, to the file at `path` in one replacement of the file: either all
/// of them reach the disk or, after an error, none does and the file is as it was.
[[nodiscard]] std::optional<WriteError> writeEntries(const QString& path, std::span<const ProfileEntry> entries,
                                                     const FileWriteCalls& calls = FileWriteCalls::system());

} // namespace qmx::settings
