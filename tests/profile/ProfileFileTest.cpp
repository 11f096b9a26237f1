#include "settings/profile/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "QStringPrinter.h"

#include <gtest/gtest.h>

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

TEST_F(ProfileFileTest, Windows1250FileIsRewrittenAsUtf8)
{
    const QString path = pathOf("stary.conf");
    writeBytes(path, "[Opcje]\r\nPlik=pomiary_\xB3\xF3" "d\x9F.csv\r\n");
    ProfileFile file(path);
    EXPECT_EQ(file.read(u"Opcje", u"Plik"), QStringLiteral("pomiary_łódź.csv"));

    ASSERT_EQ(file.write(u"Opcje", u"Jezyk", u"1"), std::nullopt);
    EXPECT_EQ(readBytes(path), QStringLiteral("[Opcje]\r\nPlik=pomiary_łódź.csv\r\nJezyk=1\r\n").toUtf8());
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
    EXPECT_EQ(failure->message(), QStringLiteral("Unable to write to ") + fullName(path));
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
    EXPECT_EQ(failure->message(), QStringLiteral("Unable to write to ") + fullName(path));
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
    EXPECT_EQ(failure->message(), QStringLiteral("Unable to write to ") + fullName(path));

    // Once the obstacle is gone, the same batch saves.
    ASSERT_TRUE(QFile::remove(blocker));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("app"));
    EXPECT_EQ(batch.commit(), std::nullopt);
    EXPECT_EQ(readBytes(path), QByteArray("[Options]\r\nSaveDate=1\r\n"));
}
