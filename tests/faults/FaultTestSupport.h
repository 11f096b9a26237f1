#pragma once
// Pieces shared by the fault tables: a wait in the event loop and a capture of what the tool
// prints on its standard streams.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <thread>

#include <unistd.h>

namespace qmx::test {

/// Runs the event loop until `done` holds or `timeoutMs` passes; returns `done()`.
inline bool waitFor(const std::function<bool()>& done, int timeoutMs = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return done();
}

/// What one run of a tool command printed and returned.
struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err; ///< the tool's messages on standard error (see toolMessages())
};

/// Collects what is written to one of the process's descriptors (1 or 2) while it lives, through
/// a pipe: a pipe has no size limit, so the capture works while a test limits the size of files.
class StreamCapture {
public:
    explicit StreamCapture(int fd) : m_fd(fd)
    {
        std::fflush(nullptr);
        int ends[2];
        if (::pipe(ends) != 0) {
            throw std::runtime_error("pipe");
        }
        m_saved = ::dup(fd);
        ::dup2(ends[1], fd);
        ::close(ends[1]);
        m_reader = std::thread([this, in = ends[0]] {
            char buffer[4096];
            ssize_t n = 0;
            while ((n = ::read(in, buffer, sizeof buffer)) > 0) {
                m_bytes.append(buffer, n);
            }
            ::close(in);
        });
    }
    StreamCapture(const StreamCapture&) = delete;
    StreamCapture& operator=(const StreamCapture&) = delete;
    ~StreamCapture() { take(); }

    /// Ends the capture and returns what was written.
    QString take()
    {
        if (m_saved >= 0) {
            std::fflush(nullptr);
            ::dup2(m_saved, m_fd); // the pipe's last writer goes: the reader sees its end
            ::close(m_saved);
            m_saved = -1;
            m_reader.join();
        }
        return QString::fromUtf8(m_bytes);
    }

private:
    int m_fd;
    int m_saved = -1;
    QByteArray m_bytes;
    std::thread m_reader;
};

/// The tool's own messages in what it wrote to standard error: its "qmx80net-cli:" lines and the
/// indented lines that follow them, without anything else the process may have printed there.
inline QString toolMessages(const QString& err)
{
    QStringList kept;
    bool inMessage = false;
    for (const QString& line : err.split(u'\n', Qt::SkipEmptyParts)) {
        inMessage = line.startsWith(QStringLiteral("qmx80net-cli:")) || (inMessage && line.startsWith(u' '));
        if (inMessage) {
            kept << line;
        }
    }
    return kept.join(u'\n');
}

/// Runs `command` with both standard streams captured.
inline ToolRun captureTool(const std::function<int()>& command)
{
    ToolRun run;
    StreamCapture out(STDOUT_FILENO);
    StreamCapture err(STDERR_FILENO);
    run.exitCode = command();
    run.err = toolMessages(err.take());
    run.out = out.take();
    return run;
}

} // namespace qmx::test
