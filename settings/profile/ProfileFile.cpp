#include "settings/profile/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qmx::settings {

namespace {

struct Failure {
    WriteError::Reason reason;
    QString detail;
};

struct ReadOutcome {
    ProfileDocument document;
    std::optional<Failure> failure;
};

ReadOutcome readDocument(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    // Only a regular file is read: a folder cannot be, and a device or pipe could block or never end.
    if (!info.isFile())
        return {{}, Failure{WriteError::Reason::Unreadable, QStringLiteral("not a regular file")}};
    if (info.size() > kMaxProfileFileSize)
        return {{}, Failure{WriteError::Reason::TooLarge, QStringLiteral("file too large")}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, Failure{WriteError::Reason::Unreadable, file.errorString()}};
    const QByteArray bytes = file.read(kMaxProfileFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, Failure{WriteError::Reason::Unreadable, file.errorString()}};
    // The file may have grown since its size was taken; a cut copy must never be written back.
    if (bytes.size() > kMaxProfileFileSize)
        return {{}, Failure{WriteError::Reason::TooLarge, QStringLiteral("file too large")}};
    return {ProfileDocument::fromBytes(bytes), std::nullopt};
}

} // namespace

QString WriteError::message() const
{
    return QStringLiteral("Unable to write to %1").arg(path);
}

ProfileBatch::ProfileBatch(QString path)
    : m_path(std::move(path))
{
    ReadOutcome outcome = readDocument(m_path);
    m_document = std::move(outcome.document);
    if (outcome.failure)
        m_readFailure = error(outcome.failure->reason, outcome.failure->detail);
}

std::optional<QString> ProfileBatch::value(QStringView section, QStringView key) const
{
    return m_document.value(section, key);
}

std::optional<WriteError> ProfileBatch::setValue(QStringView section, QStringView key, QStringView text)
{
    if (!m_document.setValue(section, key, text))
        return error(WriteError::Reason::NotStorable, QStringLiteral("name or text cannot be stored"));
    return std::nullopt;
}

std::optional<WriteError> ProfileBatch::commit()
{
    // Writing after a failed read would replace the file's other contents with what little we have.
    if (m_readFailure)
        return m_readFailure;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return error(WriteError::Reason::Refused, file.errorString());
    const QByteArray bytes = m_document.toBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return error(WriteError::Reason::Refused, file.errorString());
    }
    if (!file.commit())
        return error(WriteError::Reason::Refused, file.errorString());
    return std::nullopt;
}

WriteError ProfileBatch::error(WriteError::Reason reason, QString detail) const
{
    return WriteError{reason, QDir::toNativeSeparators(QFileInfo(m_path).absoluteFilePath()),
                      std::move(detail)};
}

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path))
{
}

std::optional<QString> ProfileFile::read(QStringView section, QStringView key) const
{
    return readDocument(m_path).document.value(section, key);
}

std::optional<WriteError> ProfileFile::write(QStringView section, QStringView key, QStringView text)
{
    ProfileBatch batch(m_path);
    if (auto failure = batch.setValue(section, key, text))
        return failure;
    return batch.commit();
}

std::optional<WriteError> writeEntries(const QString& path, std::span<const ProfileEntry> entries)
{
    ProfileBatch batch(path);
    for (const ProfileEntry& entry : entries) {
        if (auto failure = batch.setValue(entry.section, entry.key, entry.text)) {
            return failure;
        }
    }
    return batch.commit();
}

} // namespace qmx::settings
