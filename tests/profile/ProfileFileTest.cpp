#include "settings/profile/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QStringPrinter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qmx::settings;

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString fullName(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString pathOf(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ProfileFileTest, MissingFileReadsAsEmptyAndIsCreatedByTheFirstWrite)
{
    ProfileFile file(pathOf("config.ini"));
    EXPECT_EQ(file.read(u"Options", u"SaveDate"), std::nullopt);
    EXPECT_FALSE(QFileInfo::exists(file.path()));

    EXPECT_EQ(file.write(u"Options", u"SaveDate", u"1"), std::nullopt);
    EXPECT_EQ(readBytes(file.path()), QByteArray("[Options]\r\nSaveDate=1\r\n"));
}

TEST_F(ProfileFileTest, EachWriteIsOnDiskAtOnceAndReplacesOnlyItsKey)
{
    const QString path = pathOf("qmx80_konfiguracja.conf");
    writeBytes(path, "; mine\n[Ethernet]\nIP=10.0.0.1\nGate=10.0.0.254\n\n[Other]\nx=1\n");
    ProfileFile file(path);

    ASSERT_EQ(file.write(u"ethernet", u"ip", u"192.168.0.2"), std::nullopt);
    EXPECT_EQ(readBytes(path),
              QByteArray("; mine\r\n[Ethernet]\r\nip=192.168.0.2\r\nGate=10.0.0.254\r\n\r\n[Other]\r\nx=1\r\n"));

    ASSERT_EQ(file.write(u"Ethernet", u"Mask", u"255.255.255.0"), std::nullopt);
    EXPECT_EQ(readBytes(path), QByteArray("; mine\r\n[Ethernet]\r\nip=192.168.0.2\r\nGate=10.0.0.254\r\n"
                                          "Mask=255.255.255.0\r\n\r\n[Other]\r\nx=1\r\n"));
    EXPECT_EQ(ProfileFile(path).read(u"Ethernet", u"Mask"), QStringLiteral("255.255.255.0"));
}

TEST_F(ProfileFileTest, ReadSeesTheFileAsItIsNow)
{
    const QString path = pathOf("config.ini");
    ProfileFile file(path);
    writeBytes(path, "[Options]\r\nLanguage=0\r\n");
    EXPECT_EQ(file.read(u"Options", u"Language"), QStringLiteral("0"));
    writeBytes(path, "[Options]\r\nLanguage=1\r\n");
    EXPECT_EQ(file.read(u"Options", u"Language"), QStringLiteral("1"));
}

TEST_F(ProfileFileTest, Windows1250FileKeepsItsEncoding)
{
    const QString path = pathOf("stary.conf");
    writeBytes(path, "[Opcje]\r\nPlik=pomiary_\xB3\xF3" "d\x9F.csv\r\n");
    ProfileFile file(path);
    EXPECT_EQ(file.read(u"Opcje", u"Plik"), QStringLiteral("pomiary_łódź.csv"));

    ASSERT_EQ(file.write(u"Opcje", u"Jezyk", u"ż"), std::nullopt);
    EXPECT_EQ(readBytes(path), QByteArray("[Opcje]\r\nPlik=pomiary_\xB3\xF3" "d\x9F.csv\r\nJezyk=\xBF\r\n"));
}

TEST_F(ProfileFileTest, WriteUnderARegularFileIsRefusedWithThePath)
{
    const QString blocker = pathOf("not-a-folder");
    writeBytes(blocker, "plain file\n");
    const QString path = blocker + "/config.ini";

    const auto failure = ProfileFile(path).write(u"Options", u"SaveDate", u"1");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->reason, WriteError::Reason::Refused);
    EXPECT_EQ(failure->path, fullName(path));
    EXPECT_EQ(failure->message(), QStringLiteral("Unable to write to ") + fullName(path) + ": Not a directory");
    EXPECT_EQ(readBytes(blocker), QByteArray("plain file\n"));
}

TEST_F(ProfileFileTest, FolderInPlaceOfTheFileIsRefusedAndLeftAlone)
{
    const QString path = pathOf("config.ini");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("config.ini"));
    writeBytes(path + "/inside.txt", "x");

    ProfileFile file(path);
    EXPECT_EQ(file.read(u"Options", u"SaveDate"), std::nullopt);
    const auto failure = file.write(u"Options", u"SaveDate", u"1");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message(), QStringLiteral("Unable to write to ") + fullName(path) + ": Is a directory");
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(readBytes(path + "/inside.txt"), QByteArray("x"));
}

TEST_F(ProfileFileTest, OversizedFileReadsAsEmptyAndIsNeverOverwritten)
{
    const QString path = pathOf("huge.conf");
    {
        QFile huge(path);
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_EQ(huge.write("[S]\r\nk=1\r\n"), 10);
        ASSERT_TRUE(huge.resize(kMaxProfileFileSize + 1)); // sparse: cheap to create
    }
    ProfileFile file(path);
    EXPECT_EQ(file.read(u"S", u"k"), std::nullopt);

    const auto failure = file.write(u"S", u"k", u"2");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->reason, WriteError::Reason::TooLarge);
    EXPECT_EQ(QFileInfo(path).size(), kMaxProfileFileSize + 1);
    QFile check(path);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.read(10), QByteArray("[S]\r\nk=1\r\n"));
}

TEST_F(ProfileFileTest, TextWithALineBreakIsRefusedAndTheFileKept)
{
    const QString path = pathOf("config.ini");
    writeBytes(path, "[Options]\r\nFileName=a.csv\r\n");
    const auto failure = ProfileFile(path).write(u"Options", u"FileName", u"b.csv\r\n[Evil]");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->reason, WriteError::Reason::NotStorable);
    EXPECT_EQ(readBytes(path), QByteArray("[Options]\r\nFileName=a.csv\r\n"));
}

// Permission bits do not stop the superuser, so these run only for an ordinary user.
TEST_F(ProfileFileTest, ReadOnlyFileIsRefusedAndKept)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not apply to root";
    const QString path = pathOf("config.ini");
    writeBytes(path, "[Options]\r\nLanguage=0\r\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    const auto failure = ProfileFile(path).write(u"Options", u"Language", u"1");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->message().endsWith(QStringLiteral(": Permission denied"))) << failure->message().toStdString();
    EXPECT_EQ(readBytes(path), QByteArray("[Options]\r\nLanguage=0\r\n"));
}

TEST_F(ProfileFileTest, ReadOnlyFolderIsRefused)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not apply to root";
    const QString folder = pathOf("locked");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("locked"));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const auto failure = ProfileFile(folder + "/config.ini").write(u"Options", u"Language", u"1");
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(QFileInfo::exists(folder + "/config.ini"));
}

TEST_F(ProfileFileTest, BatchWritesAllKeysOnceOnCommit)
{
    const QString path = pathOf("config.ini");
    writeBytes(path, "[Options]\r\nFileName=pomiary.csv\r\nSaveDate=0\r\n");
    ProfileBatch batch = ProfileFile(path).batch();
    ASSERT_EQ(batch.setValue(u"Options", u"SaveDate", u"1"), std::nullopt);
    ASSERT_EQ(batch.setValue(u"Options", u"Language", u"1"), std::nullopt);
    EXPECT_EQ(batch.value(u"Options", u"Language"), QStringLiteral("1"));
    EXPECT_EQ(readBytes(path), QByteArray("[Options]\r\nFileName=pomiary.csv\r\nSaveDate=0\r\n"));

    ASSERT_EQ(batch.commit(), std::nullopt);
    EXPECT_EQ(readBytes(path),
              QByteArray("[Options]\r\nFileName=pomiary.csv\r\nSaveDate=1\r\nLanguage=1\r\n"));
}

TEST_F(ProfileFileTest, RefusedBatchCommitReportsThePathAndCanBeRetried)
{
    const QString blocker = pathOf("app");
    writeBytes(blocker, "not a folder");
    const QString path = blocker + "/config.ini";
    ProfileBatch batch(path);
    ASSERT_EQ(batch.setValue(u"Options", u"SaveDate", u"1"), std::nullopt);
    const auto failure = batch.commit();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->message(), QStringLiteral("Unable to write to ") + fullName(path) + ": Not a directory");

    // Once the obstacle is gone, the same batch saves.
    ASSERT_TRUE(QFile::remove(blocker));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("app"));
    EXPECT_EQ(batch.commit(), std::nullopt);
    EXPECT_EQ(readBytes(path), QByteArray("[Options]\r\nSaveDate=1\r\n"));
}

// ---------------------------------------------------------------- reading with its reasons

TEST_F(ProfileFileTest, ReadFailuresAreReportedWithTheirReason)
{
    const QString missing = pathOf("none.ini");
    const ProfileRead none = readProfile(missing);
    EXPECT_FALSE(none.exists);
    EXPECT_FALSE(none.failure.has_value());

    const QString folder = pathOf("folder.ini");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.ini"));
    const QString huge = pathOf("huge.ini");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(kMaxProfileFileSize + 1));
    }
    const QString utf16 = pathOf("utf16.ini");
    writeBytes(utf16, QByteArray("\xFF\xFE", 2) + QByteArray("[\0O\0]\0\r\0\n\0", 10));
    const QString utf16NoMark = pathOf("utf16-no-mark.ini");
    writeBytes(utf16NoMark, QByteArray("[\0O\0p\0t\0]\0\r\0\n\0k\0=\0001\0", 22));
    const QString binary = pathOf("binary.ini");
    writeBytes(binary, QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0garbage", 28));

    struct Case {
        QString path;
        ReadError::Reason reason;
        const char* detail;
    };
    const Case cases[] = {
        {folder, ReadError::Reason::Unreadable, "Is a directory"},
        {huge, ReadError::Reason::TooLarge, "File too large"},
        {utf16, ReadError::Reason::NotText, "UTF-16"},
        {utf16NoMark, ReadError::Reason::NotText, "UTF-16"},
        {binary, ReadError::Reason::NotText, "NUL bytes"},
    };
    for (const Case& c : cases) {
        const ProfileRead read = readProfile(c.path);
        EXPECT_TRUE(read.exists);
        ASSERT_TRUE(read.failure.has_value()) << c.path.toStdString();
        EXPECT_EQ(read.failure->reason, c.reason) << c.path.toStdString();
        EXPECT_TRUE(read.failure->detail.contains(QString::fromLatin1(c.detail))) << read.failure->detail.toStdString();
        EXPECT_TRUE(read.failure->message().startsWith(QStringLiteral("Unable to read ") + fullName(c.path) + ": "));
        EXPECT_TRUE(read.document.lines().isEmpty());
    }
}

TEST_F(ProfileFileTest, UnreadableFileIsReportedWithTheSystemsReason)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not apply to root";
    const QString path = pathOf("config.ini");
    writeBytes(path, "[Options]\r\nLanguage=0\r\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    const ProfileRead read = readProfile(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_TRUE(read.failure.has_value());
    EXPECT_EQ(read.failure->detail, QStringLiteral("Permission denied"));
}

// ---------------------------------------------------------------- failures while writing

namespace {

/// Write calls that pass `budget` bytes to the disk and then fail, as a full disk does; the flush
/// fails with `syncError` (0: it succeeds).
FileWriteCalls failingCalls(std::size_t budget, int writeError, int syncError)
{
    auto left = std::make_shared<std::size_t>(budget);
    FileWriteCalls calls = FileWriteCalls::system();
    const auto realWrite = calls.write;
    calls.write = [=](int fd, const void* data, std::size_t size) -> ssize_t {
        if (*left == 0) {
            errno = writeError;
            return -1;
        }
        const std::size_t now = std::min(size, *left);
        *left -= now;
        return realWrite(fd, data, now);
    };
    if (syncError != 0) {
        calls.sync = [=](int) {
            errno = syncError;
            return -1;
        };
    }
    return calls;
}

} // namespace

TEST_F(ProfileFileTest, AFailedWriteOrFlushLeavesTheOldFileByteForByte)
{
    const QByteArray old("; mine\r\n[Options]\r\nLanguage=0\r\nFileName=a.csv\r\n");
    std::vector<ProfileEntry> entries;
    for (int i = 0; i < 40; ++i)
        entries.push_back({"Options", QStringLiteral("Key%1").arg(i), QStringLiteral("value %1").arg(i)});

    struct Case {
        const char* name;
        std::size_t budget;
        int writeError;
        int syncError;
        const char* reason;
    };
    const std::size_t unlimited = std::size_t(-1);
    const Case cases[] = {
        {"nothing written", 0, ENOSPC, 0, "No space left on device"},
        {"torn in the middle", 100, ENOSPC, 0, "No space left on device"},
        {"quota", 10, EDQUOT, 0, "Disk quota exceeded"},
        {"flush fails", unlimited, ENOSPC, ENOSPC, "No space left on device"},
        {"device fails at flush", unlimited, EIO, EIO, "Input/output error"},
    };
    for (const Case& c : cases) {
        const QString path = pathOf("config.ini");
        writeBytes(path, old);
        const auto failure = writeEntries(path, entries, failingCalls(c.budget, c.writeError, c.syncError));
        ASSERT_TRUE(failure.has_value()) << c.name;
        EXPECT_EQ(failure->reason, WriteError::Reason::Refused) << c.name;
        EXPECT_EQ(failure->message(), QStringLiteral("Unable to write to ") + fullName(path) + ": " + c.reason) << c.name;
        EXPECT_EQ(readBytes(path), old) << c.name;
        // No temporary file is left behind.
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"config.ini"}) << c.name;
    }
}

TEST_F(ProfileFileTest, AFailedWriteDoesNotCreateAMissingFile)
{
    const QString path = pathOf("new.conf");
    const std::vector<ProfileEntry> entries{{"S", "k", "1"}};
    ASSERT_TRUE(writeEntries(path, entries, failingCalls(0, ENOSPC, 0)).has_value());
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(ProfileFileTest, ASaveKeepsTheFilesPermissionsAndFollowsALink)
{
    const QString target = pathOf("real.conf");
    writeBytes(target, "[S]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
    const QString link = pathOf("link.conf");
    ASSERT_TRUE(QFile::link(target, link));

    ASSERT_EQ(ProfileFile(link).write(u"S", u"k", u"2"), std::nullopt);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(target), QByteArray("[S]\r\nk=2\r\n"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640U);
}

// A real full disk: a small tmpfs, which only the superuser can mount.
TEST_F(ProfileFileTest, OnAFullDiskTheOldFileStaysAndTheReasonIsTold)
{
    const QString mountPoint = pathOf("small");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("small"));
    const QByteArray mountName = QFile::encodeName(mountPoint);
    if (geteuid() != 0 || ::mount("tmpfs", mountName.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a tmpfs cannot be mounted here";
    const std::unique_ptr<const char, std::function<void(const char*)>> unmount(
        mountName.constData(), [](const char* name) { ::umount(name); });

    const QString path = mountPoint + "/config.ini";
    const QByteArray old("[Options]\r\nLanguage=0\r\n");
    writeBytes(path, old);
    {
        // Fill every free block.
        QFile filler(mountPoint + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
    const std::vector<ProfileEntry> entries{{"Options", "Language", "1"}, {"Options", "Padding", QString(8000, u'p')}};
    const auto failure = writeEntries(path, entries);
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->message().endsWith(QStringLiteral(": No space left on device"))) << failure->message().toStdString();
    EXPECT_EQ(readBytes(path), old);
}
