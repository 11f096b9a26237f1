// The recording file on its own: the writer thread takes the disk's waits, only regular files are
// opened (without ever blocking), and symbolic links are followed only when asked to.

#include "recording/recorder/RecordFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qmx::recording;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// A sync that holds the writer thread until the test lets it go: a disk as slow as the test wants.
class HeldSync {
public:
    RecordFile::SyncFunction function()
    {
        return [this](int) {
            std::unique_lock lock(m_mutex);
            ++m_entered;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_released; });
            return 0;
        };
    }
    void waitUntilEntered(int times)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_entered >= times; });
    }
    void release()
    {
        const std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    int entered()
    {
        const std::lock_guard lock(m_mutex);
        return m_entered;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_entered = 0;
    bool m_released = false;
};

} // namespace

TEST(RecordFile, FlushReturnsWhileTheDiskIsStillSyncing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("slow.csv"));
    HeldSync sync;
    RecordFile file(path, true, sync.function());
    ASSERT_FALSE(file.append("a;\r\n"));
    // If flush() waited for the sync, this thread would never get past it: the sync is released
    // only below.
    ASSERT_FALSE(file.flush());
    sync.waitUntilEntered(1);
    ASSERT_FALSE(file.append("b;\r\n"));
    ASSERT_FALSE(file.flush());
    ASSERT_FALSE(file.append("c;\r\n"));
    EXPECT_EQ(file.buffered(), 4) << "the third line waits on this side for the next flush";
    EXPECT_EQ(sync.entered(), 1);
    sync.release();
    EXPECT_FALSE(file.close());
    EXPECT_EQ(readAll(path), QByteArray("a;\r\nb;\r\nc;\r\n"));
}

TEST(RecordFile, AFifoIsRefusedWithoutBlockingWithOrWithoutAReader)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    {
        RecordFile file(fifo);
        const auto error = file.append("a;\r\n");
        ASSERT_TRUE(error);
        EXPECT_EQ(error->reason, QLatin1String(kNotARegularFile));
        EXPECT_FALSE(file.isOpen());
    }
    // With a reader the open succeeds; the file's type refuses it all the same.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    {
        RecordFile file(fifo);
        const auto error = file.append("a;\r\n");
        ASSERT_TRUE(error);
        EXPECT_EQ(error->reason, QLatin1String(kNotARegularFile));
    }
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "nothing was written into the pipe";
    ::close(reader);
}

TEST(RecordFile, ASymbolicLinkIsWrittenThroughOnlyWhenFollowed)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("system.conf"));
    {
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep=1\n");
    }
    const QString link = dir.filePath(QStringLiteral("out.csv"));
    ASSERT_TRUE(QFile::link(target, link));
    {
        RecordFile file(link, false);
        const auto error = file.append("a;\r\n");
        ASSERT_TRUE(error);
        EXPECT_EQ(error->reason, QLatin1String(kIsASymbolicLink));
        EXPECT_EQ(RecordFile::checkTarget(link, false)->reason, QLatin1String(kIsASymbolicLink));
    }
    EXPECT_EQ(readAll(target), QByteArray("keep=1\n"));
    {
        RecordFile file(link, true);
        EXPECT_FALSE(RecordFile::checkTarget(link, true));
        ASSERT_FALSE(file.append("a;\r\n"));
        EXPECT_FALSE(file.close());
    }
    EXPECT_EQ(readAll(target), QByteArray("keep=1\na;\r\n"));
}
