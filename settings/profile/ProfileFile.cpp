#include "settings/profile/ProfileFile.h"

#include "settings/profile/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace qmx::settings {

namespace {

QString fullName(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

ReadError readError(ReadError::Reason reason, const QString& path, QString detail)
{
    return ReadError{reason, fullName(path), std::move(detail)};
}

WriteError::Reason writeReason(ReadError::Reason reason)
{
    return reason == ReadError::Reason::TooLarge ? WriteError::Reason::TooLarge : WriteError::Reason::Unreadable;
}

std::span<const std::uint8_t> byteSpan(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

} // namespace

QString ReadError::message() const
{
    return QStringLiteral("Unable to read %1: %2").arg(path, detail);
}

QString WriteError::message() const
{
    if (detail.isEmpty())
        return QStringLiteral("Unable to write to %1").arg(path);
    return QStringLiteral("Unable to write to %1: %2").arg(path, detail);
}

ProfileRead readProfile(const QString& path)
{
    ProfileRead result;
    const QFileInfo info(path);
    if (!info.exists())
        return result;
    result.exists = true;
    // Only a regular file is read: a folder cannot be, and a device or pipe could block or never end.
    if (info.isDir()) {
        result.failure = readError(ReadError::Reason::Unreadable, path, systemReason(EISDIR));
        return result;
    }
    if (!info.isFile()) {
        result.failure = readError(ReadError::Reason::Unreadable, path, QStringLiteral("Not a regular file"));
        return result;
    }
    if (info.size() > kMaxProfileFileSize) {
        result.failure = readError(ReadError::Reason::TooLarge, path, systemReason(EFBIG));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // The system's own words ("Permission denied"), not the toolkit's longer sentence.
        const QByteArray name = QFile::encodeName(path);
        const int error = ::access(name.constData(), R_OK) != 0 ? errno : 0;
        result.failure = readError(ReadError::Reason::Unreadable, path,
                                   error != 0 ? systemReason(error) : file.errorString());
        return result;
    }
    const QByteArray bytes = file.read(kMaxProfileFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        result.failure = readError(ReadError::Reason::Unreadable, path, file.errorString());
        return result;
    }
    // The file may have grown since its size was taken; a cut copy must never be written back.
    if (bytes.size() > kMaxProfileFileSize) {
        result.failure = readError(ReadError::Reason::TooLarge, path, systemReason(EFBIG));
        return result;
    }
    if (auto why = notReadableAsText(byteSpan(bytes))) {
        result.failure = readError(ReadError::Reason::NotText, path, *why);
        return result;
    }
    result.document = ProfileDocument::fromBytes(bytes);
    return result;
}

std::optional<WriteError> checkReplaceable(const QString& path)
{
    const QFileInfo info(path);
    const auto refused = [&](WriteError::Reason reason, QString detail) {
        return WriteError{reason, fullName(path), std::move(detail)};
    };
    // Probe the folder by creating a file: permission bits alone do not tell (root, ACLs, read-only
    // mounts).
    QTemporaryFile probe(QDir(info.absolutePath()).filePath(QStringLiteral(".qmx80net-probe-XXXXXX")));
    if (!probe.open())
        return refused(WriteError::Reason::Refused, probe.errorString());
    if (!info.exists())
        return std::nullopt;
    if (!info.isFile())
        return refused(WriteError::Reason::Refused, QStringLiteral("Not a regular file"));
    if (info.size() > kMaxProfileFileSize)
        return refused(WriteError::Reason::TooLarge, systemReason(EFBIG));
    const QByteArray name = QFile::encodeName(info.absoluteFilePath());
    if (::access(name.constData(), R_OK) != 0)
        return refused(WriteError::Reason::Unreadable, systemReason(errno));
    if (::access(name.constData(), W_OK) != 0)
        return refused(WriteError::Reason::Refused, systemReason(errno));
    return std::nullopt;
}

ProfileBatch::ProfileBatch(QString path)
    : m_path(std::move(path))
{
    ProfileRead read = readProfile(m_path);
    m_document = std::move(read.document);
    if (read.failure)
        m_readFailure = error(writeReason(read.failure->reason), read.failure->detail);
}

std::optional<QString> ProfileBatch::value(QStringView section, QStringView key) const
{
    return m_document.value(section, key);
}

std::optional<WriteError> ProfileBatch::setValue(QStringView section, QStringView key, QStringView text)
{
    if (!m_document.setValue(section, key, text)) {
        return error(WriteError::Reason::NotStorable,
                     m_document.sourceEncoding() == SourceEncoding::Windows1250
                         ? QStringLiteral("the text cannot be stored as one line in the file's encoding "
                                          "(Windows-1250)")
                         : QStringLiteral("the text cannot be stored as one line"));
    }
    return std::nullopt;
}

std::optional<WriteError> ProfileBatch::commit(const FileWriteCalls& calls)
{
    // Writing after a failed read would replace the file's other contents with what little we have.
    if (m_readFailure)
        return m_readFailure;
    if (const auto failure = replaceFileContents(m_path, m_document.toBytes(), calls))
        return error(WriteError::Reason::Refused, failure->reason);
    return std::nullopt;
}

WriteError ProfileBatch::error(WriteError::Reason reason, QString detail) const
{
    return WriteError{reason, fullName(m_path), std::move(detail)};
}

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
}

std::optional<QString> ProfileFile::read(QStringView section, QStringView key) const
{
    return readProfile(m_path).document.value(section, key);
}

std::optional<WriteError> ProfileFile::write(QStringView section, QStringView key, QStringView text)
{
    ProfileBatch batch(m_path);
    if (auto failure = batch.setValue(section, key, text))
        return failure;
    return batch.commit();
}

std::optional<WriteError> writeEntries(const QString& path, std::span<const ProfileEntry> entries,
                                       const FileWriteCalls& calls)
{
    ProfileBatch batch(path);
    for (const ProfileEntry& entry : entries) {
        if (auto failure = batch.setValue(entry.section, entry.key, entry.text)) {
            return failure;
        }
    }
    return batch.commit(calls);
}

} // namespace qmx::settings
