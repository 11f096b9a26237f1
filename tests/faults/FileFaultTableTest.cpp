// The file-system fault campaign: a full file system, a read-only file, a FIFO, a folder and a
// symbolic link (to a file, or to a file not yet there) where the program writes or reads its files: recordings (window and tool), device
// settings files (saved and loaded in the window, saved and applied by the tool) and the
// preferences file. Each row names the fault, the place, what the user is told, how it ends, and
// what becomes of the file that was there.
//
// A full file system is a small tmpfs filled to the last block when the test may mount one (it runs
// as root); elsewhere the file size limit (RLIMIT_FSIZE) plays it, so writes fail with "File too
// large". A read-only file is one on a read-only mount when mounting works, else a file without
// write permission (which the superuser could still write: such a row is then left out).

#include "FakeBackend.h"
#include "FaultTestSupport.h"
#include "QtPrinters.h"

#include "cli/ToolCommand.h"
#include "link/Protocol.h"
#include "sim/SimBackend.h"
#include "ui/MainWindow.h"
#include "ui/pages/RecordingPage.h"
#include "ui/pages/SensorSettingsPage.h"
#include "ui/pages/SettingsPage.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qmx;

namespace {

enum class FsFault { FullDisk, ReadOnlyFile, Fifo, Folder, SymbolicLink, DanglingLink };

const char* faultName(FsFault f)
{
    switch (f) {
    case FsFault::FullDisk: return "full file system";
    case FsFault::ReadOnlyFile: return "read-only file";
    case FsFault::Fifo: return "FIFO";
    case FsFault::Folder: return "folder";
    case FsFault::SymbolicLink: return "symbolic link";
    case FsFault::DanglingLink: return "symbolic link to a file not yet there";
    }
    return "";
}

/// The bytes of the file that was there before: a settings file with one value, padded with
/// comment lines to exactly one page, so that on a full tmpfs not even one more byte fits.
QByteArray oldBytes()
{
    QByteArray bytes("[Tens1Config]\r\nRange=1234\r\n");
    while (bytes.size() < 4096) {
        const qsizetype room = 4096 - bytes.size();
        const qsizetype line = std::min<qsizetype>(room, 64);
        bytes += line >= 3 ? QByteArray(";") + QByteArray(line - 3, 'x') + "\r\n" : QByteArray(line, '\n');
    }
    return bytes;
}

bool mountsAllowed()
{
    static const bool allowed = [] {
        if (::geteuid() != 0 || qEnvironmentVariableIsSet("QMX_FAULTS_NO_MOUNT")) {
            return false;
        }
        QTemporaryDir probe;
        const QByteArray dir = QFile::encodeName(probe.path());
        if (::mount("tmpfs", dir.constData(), "tmpfs", 0, "size=16k") != 0) {
            return false;
        }
        ::umount2(dir.constData(), MNT_DETACH);
        return true;
    }();
    return allowed;
}

/// The file size limit at zero while it lives: every write that would grow a file fails.
class FileSizeLimit {
public:
    FileSizeLimit()
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_old;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

/// One fault staged in a fresh folder: the name the program is given, and the file whose bytes
/// must survive.
class Stage {
public:
    Stage(FsFault fault, const QString& fileName) : m_fault(fault)
    {
        QString folder = m_dir.path();
        const bool mount = (fault == FsFault::FullDisk || fault == FsFault::ReadOnlyFile) && mountsAllowed();
        if (mount) {
            folder = m_dir.filePath(QStringLiteral("fs"));
            QDir().mkdir(folder);
            m_mountPoint = QFile::encodeName(folder);
            if (::mount("tmpfs", m_mountPoint.constData(), "tmpfs", 0, "size=64k") != 0) {
                m_mountPoint.clear();
                return;
            }
        }
        path = QDir(folder).filePath(fileName);
        switch (fault) {
        case FsFault::FullDisk:
            writeOld(path);
            if (mount) {
                fill(folder);
                reason = QStringLiteral("No space left on device");
            } else {
                reason = QStringLiteral("File too large");
            }
            break;
        case FsFault::ReadOnlyFile:
            writeOld(path);
            if (mount) {
                ::mount(nullptr, m_mountPoint.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
                reason = QStringLiteral("Read-only file system");
            } else if (::geteuid() == 0) {
                return; // the superuser writes any file whatever its permissions
            } else {
                QFile::setPermissions(path, QFileDevice::ReadOwner);
                reason = QStringLiteral("Permission denied");
            }
            break;
        case FsFault::Fifo:
            if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0) {
                return;
            }
            break;
        case FsFault::Folder:
            QDir().mkdir(path);
            break;
        case FsFault::SymbolicLink:
            target = QDir(folder).filePath(QStringLiteral("target.file"));
            writeOld(target);
            QFile::link(target, path);
            break;
        case FsFault::DanglingLink:
            target = QDir(folder).filePath(QStringLiteral("target.file"));
            QFile::link(QStringLiteral("target.file"), path); // relative, as links often are
            break;
        }
        usable = true;
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;
    ~Stage()
    {
        if (!m_mountPoint.isEmpty()) {
            ::umount2(m_mountPoint.constData(), MNT_DETACH);
        }
    }

    /// The fault in force for the duration of a write: nothing more to do on a real full file
    /// system, the file size limit otherwise.
    std::unique_ptr<FileSizeLimit> inForce() const
    {
        if (m_fault == FsFault::FullDisk && m_mountPoint.isEmpty()) {
            return std::make_unique<FileSizeLimit>();
        }
        return nullptr;
    }

    /// The file whose old bytes are checked: the link's target, else the named file.
    QString oldFile() const { return target.isEmpty() ? path : target; }
    bool hasOldFile() const
    {
        return m_fault != FsFault::Fifo && m_fault != FsFault::Folder && m_fault != FsFault::DanglingLink;
    }

    bool usable = false;
    QString path;
    QString target; ///< where a symbolic link points
    QString reason; ///< the system's reason a write fails with here

private:
    static void writeOld(const QString& file)
    {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(oldBytes());
        }
    }

    /// Fills the file system at `folder` until not one byte more fits.
    static void fill(const QString& folder)
    {
        const QByteArray name = QFile::encodeName(QDir(folder).filePath(QStringLiteral("filler")));
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        const QByteArray block(4096, 'f');
        for (qsizetype size = block.size(); size > 0; size /= 2) {
            while (::write(fd, block.constData(), std::size_t(size)) == size) {
            }
        }
        ::close(fd);
    }

    FsFault m_fault;
    QTemporaryDir m_dir;
    QByteArray m_mountPoint;
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// What a place told the user and how it ended.
struct Observed {
    QString told;  ///< the message box, status line or standard error
    QString state; ///< "exit N" for the tool; the window's state in words
};

link::Measurement measurement()
{
    link::Measurement m;
    m.ChannelValue[0] = 1.5F;
    return m;
}

// --- the places -----------------------------------------------------------------------------------

Observed recordInTheWindow(const Stage& stage)
{
    test::FakeBackend backend;
    ui::MainWindow window(backend);
    ui::RecordingPage& page = *window.recordingPage;
    QStringList warnings;
    page.setDialogs({[](QWidget*, const QString&, const QString&) { return QString(); },
                     [&](QWidget*, const QString&, const QString& text) { warnings << text; }});
    page.setFileName(stage.path);
    page.setDataAcquisitionSpeed(0);
    {
        const auto fault = stage.inForce();
        page.setDataAcquisition(true);
        const bool started = page.recordingCheck->isChecked();
        for (int i = 0; i < 5; ++i) {
            page.recordMeasurement(measurement());
        }
        // The flush timer's ticks, as they come during the run: they hand the lines to the file's
        // writer and end the run when the writer failed.
        test::waitFor([&] {
            page.flushRecording();
            return !page.recordingCheck->isChecked();
        }, 300);
        const bool stillOn = page.recordingCheck->isChecked();
        // The end of the run writes out what is left; the flush timer's tick reports its error.
        page.setDataAcquisition(false);
        page.recorder().waitForClosingWriters();
        page.flushRecording();
        QCoreApplication::processEvents();
        const QString status = window.statusLabel->text();
        Observed seen{status == QStringLiteral("...") ? QString() : status,
                      !started ? QStringLiteral("refused") : stillOn ? QStringLiteral("ran") : QStringLiteral("stopped")};
        if (!warnings.isEmpty() && warnings.join(u'\n') != seen.told) {
            seen.told += QStringLiteral(" | box: ") + warnings.join(u'\n');
        }
        return seen;
    }
}

Observed runTool(const Stage& stage, QStringList command)
{
    command.replaceInStrings(QStringLiteral("@"), stage.path);
    sim::SimBackend sim(sim::SimBackend::Clock::RealTime);
    const cli::SessionLimits limits{2000, 2000};
    test::ToolRun run;
    {
        const auto fault = stage.inForce();
        run = test::captureTool([&] { return cli::runToolCommand(sim, command, limits); });
    }
    const auto codes = sim.transducer().receivedCodes();
    if (std::count(codes.begin(), codes.end(), link::CMD_SET_SENSOR_SETTINGS) > 0 ||
        std::count(codes.begin(), codes.end(), link::CMD_SET_IO_SETTINGS) > 0) {
        run.err += QStringLiteral(" | settings were sent");
    }
    return {run.err.trimmed(), QStringLiteral("exit %1").arg(run.exitCode)};
}

Observed recordWithTheTool(const Stage& stage)
{
    return runTool(stage, {QStringLiteral("record"), QStringLiteral("--out"), QStringLiteral("@"),
                           QStringLiteral("--seconds"), QStringLiteral("0.2")});
}

Observed saveSettingsWithTheTool(const Stage& stage)
{
    return runTool(stage, {QStringLiteral("settings"), QStringLiteral("save"), QStringLiteral("@")});
}

Observed applySettingsWithTheTool(const Stage& stage)
{
    return runTool(stage, {QStringLiteral("settings"), QStringLiteral("apply"), QStringLiteral("@")});
}

Observed saveSettingsInTheWindow(const Stage& stage)
{
    test::FakeBackend backend;
    ui::MainWindow window(backend);
    QStringList errors;
    window.setErrorBox([&](const QString& text) { errors << text; });
    window.setConfigFileDialogs([&](const QString&) { return stage.path; }, [&](const QString&) { return stage.path; });
    {
        const auto fault = stage.inForce();
        window.saveSettingsFile();
    }
    const bool saved = readAll(stage.path).contains("[ModbusRtu]");
    return {errors.join(u'\n'), saved ? QStringLiteral("saved") : QStringLiteral("not saved")};
}

Observed loadSettingsInTheWindow(const Stage& stage)
{
    test::FakeBackend backend;
    ui::MainWindow window(backend);
    QStringList errors;
    window.setErrorBox([&](const QString& text) { errors << text; });
    window.setConfigFileDialogs([&](const QString&) { return stage.path; }, [&](const QString&) { return stage.path; });
    auto& range = *window.settingsPage->sensorPage->sensors[0].range;
    range.setText(QStringLiteral("1000"));
    window.loadSettingsFile();
    return {errors.join(u'\n'), range.text() == QStringLiteral("1234") ? QStringLiteral("loaded")
                                                                       : QStringLiteral("pages unchanged")};
}

Observed preferencesInTheWindow(const Stage& stage)
{
    test::FakeBackend backend;
    QStringList errors;
    bool closed = false;
    {
        ui::MainWindow window(backend, stage.path);
        window.setErrorBox([&](const QString& text) { errors << text; });
        QCoreApplication::processEvents(); // a start-up report waits until the window runs
        window.show();
        const auto fault = stage.inForce();
        closed = window.close();
    }
    return {errors.join(u'\n'), closed ? QStringLiteral("closed") : QStringLiteral("kept open")};
}

struct Place {
    const char* name;
    const char* fileName;
    std::function<Observed(const Stage&)> run;
};

const Place kRecordingWindow{"recording in the window", "pomiary.csv", recordInTheWindow};
const Place kRecordingTool{"record verb", "pomiary.csv", recordWithTheTool};
const Place kSaveWindow{"settings saved in the window", "ustawienia.conf", saveSettingsInTheWindow};
const Place kLoadWindow{"settings loaded in the window", "ustawienia.conf", loadSettingsInTheWindow};
const Place kSaveTool{"settings save verb", "ustawienia.conf", saveSettingsWithTheTool};
const Place kApplyTool{"settings apply verb", "ustawienia.conf", applySettingsWithTheTool};
const Place kPreferences{"preferences", "config.ini", preferencesInTheWindow};

/// What becomes of the file that was there (the link's target for a symbolic link).
enum class OldFile {
    Kept,              ///< byte for byte
    GrewByWholeLines,  ///< the old bytes, then whole new lines
    ReplacedViaLink,   ///< the link is still a link; its target holds the new contents
    CreatedViaLink,    ///< the link is still a link; the file it names was created
    NotCreated,        ///< the link is still a link; the file it names is still not there
    None,              ///< there was no file (a FIFO or a folder, which stay what they are)
};

struct FsRow {
    FsFault fault;
    const Place& place;
    const char* told;  ///< the user is told this ("%P" the file's name, "%R" the system's reason); "" nothing
    const char* state; ///< the place's end: "exit N" for the tool, the window's state in words
    OldFile old;
};

const FsRow kRows[] = {
    // Recordings.
    // The run starts; its writer meets the full disk, and the next tick of the flush timer ends it.
    {FsFault::FullDisk, kRecordingWindow, "Rejestracja zatrzymana: błąd zapisu do pliku \"%P\": %R", "stopped",
     OldFile::Kept},
    // The file is opened at the first measurement, which ends the run.
    {FsFault::ReadOnlyFile, kRecordingWindow, "Rejestracja zatrzymana: błąd zapisu do pliku \"%P\": %R", "stopped",
     OldFile::Kept},
    {FsFault::Fifo, kRecordingWindow, "Rejestracja nie została rozpoczęta: plik \"%P\": not a regular file", "refused",
     OldFile::None},
    {FsFault::Folder, kRecordingWindow, "Rejestracja nie została rozpoczęta: plik \"%P\": not a regular file", "refused",
     OldFile::None},
    {FsFault::SymbolicLink, kRecordingWindow, "", "ran", OldFile::GrewByWholeLines},
    {FsFault::DanglingLink, kRecordingWindow, "", "ran", OldFile::CreatedViaLink},
    {FsFault::FullDisk, kRecordingTool, "qmx80net-cli: cannot write %P: %R", "exit 74", OldFile::Kept},
    {FsFault::ReadOnlyFile, kRecordingTool, "qmx80net-cli: cannot write %P: %R", "exit 74", OldFile::Kept},
    {FsFault::Fifo, kRecordingTool, "qmx80net-cli: cannot write %P: not a regular file", "exit 74", OldFile::None},
    {FsFault::Folder, kRecordingTool, "qmx80net-cli: cannot write %P: not a regular file", "exit 74", OldFile::None},
    {FsFault::SymbolicLink, kRecordingTool,
     "qmx80net-cli: cannot write %P: is a symbolic link (--follow-symlinks writes through it)", "exit 74", OldFile::Kept},
    {FsFault::DanglingLink, kRecordingTool,
     "qmx80net-cli: cannot write %P: is a symbolic link (--follow-symlinks writes through it)", "exit 74",
     OldFile::NotCreated},
    // Device settings files.
    {FsFault::FullDisk, kSaveWindow, "Unable to write to %P: %R", "not saved", OldFile::Kept},
    {FsFault::ReadOnlyFile, kSaveWindow, "Unable to write to %P: %R", "not saved", OldFile::Kept},
    {FsFault::Fifo, kSaveWindow, "Unable to write to %P: Not a regular file", "not saved", OldFile::None},
    {FsFault::Folder, kSaveWindow, "Unable to write to %P: Is a directory", "not saved", OldFile::None},
    {FsFault::SymbolicLink, kSaveWindow, "", "saved", OldFile::ReplacedViaLink},
    {FsFault::DanglingLink, kSaveWindow, "", "saved", OldFile::CreatedViaLink},
    {FsFault::ReadOnlyFile, kLoadWindow, "", "loaded", OldFile::Kept},
    {FsFault::Fifo, kLoadWindow, "Unable to read %P: Not a regular file", "pages unchanged", OldFile::None},
    {FsFault::Folder, kLoadWindow, "Unable to read %P: Is a directory", "pages unchanged", OldFile::None},
    {FsFault::SymbolicLink, kLoadWindow, "", "loaded", OldFile::Kept},
    {FsFault::FullDisk, kSaveTool, "qmx80net-cli: settings: Unable to write to %P: %R", "exit 74", OldFile::Kept},
    {FsFault::ReadOnlyFile, kSaveTool, "qmx80net-cli: settings: Unable to write to %P: %R", "exit 74", OldFile::Kept},
    {FsFault::Fifo, kSaveTool, "qmx80net-cli: settings: Unable to write to %P: Not a regular file", "exit 74", OldFile::None},
    {FsFault::Folder, kSaveTool, "qmx80net-cli: settings: Unable to write to %P: Is a directory", "exit 74", OldFile::None},
    {FsFault::SymbolicLink, kSaveTool, "", "exit 0", OldFile::ReplacedViaLink},
    {FsFault::DanglingLink, kSaveTool, "", "exit 0", OldFile::CreatedViaLink},
    {FsFault::Fifo, kApplyTool, "qmx80net-cli: settings: %P refused, nothing was sent: Not a regular file", "exit 65",
     OldFile::None},
    {FsFault::Folder, kApplyTool, "qmx80net-cli: settings: %P refused, nothing was sent: Is a directory", "exit 65",
     OldFile::None},
    // A read-only file and a link are read: the file's own contents refuse it (one key of 42).
    {FsFault::ReadOnlyFile, kApplyTool, "qmx80net-cli: settings: %P refused, nothing was sent:\n  TensAllConfig/SelTens: missing",
     "exit 65", OldFile::Kept},
    {FsFault::SymbolicLink, kApplyTool, "qmx80net-cli: settings: %P refused, nothing was sent:\n  TensAllConfig/SelTens: missing",
     "exit 65", OldFile::Kept},
    // Preferences.
    {FsFault::FullDisk, kPreferences, "Unable to write to %P: %R", "closed", OldFile::Kept},
    {FsFault::ReadOnlyFile, kPreferences, "Unable to write to %P: %R", "closed", OldFile::Kept},
    {FsFault::Fifo, kPreferences, "Unable to read %P: Not a regular file", "closed", OldFile::None},
    {FsFault::Folder, kPreferences, "Unable to read %P: Is a directory", "closed", OldFile::None},
    {FsFault::SymbolicLink, kPreferences, "", "closed", OldFile::ReplacedViaLink},
    {FsFault::DanglingLink, kPreferences, "", "closed", OldFile::CreatedViaLink},
};

} // namespace

TEST(FileFaultTable, EachPlaceMeetsEachFaultAsTheTableSays)
{
    for (const FsRow& row : kRows) {
        SCOPED_TRACE(std::string(faultName(row.fault)) + " / " + row.place.name);
        Stage stage(row.fault, QString::fromLatin1(row.place.fileName));
        if (!stage.usable) {
            // Only a read-only file may be impossible to stage here (see the top of the file).
            EXPECT_EQ(row.fault, FsFault::ReadOnlyFile);
            continue;
        }
        const QFileInfo before(stage.path);
        const Observed seen = row.place.run(stage);

        QString told = QString::fromUtf8(row.told);
        told.replace(QStringLiteral("%P"), stage.path).replace(QStringLiteral("%R"), stage.reason);
        if (told.isEmpty()) {
            EXPECT_TRUE(seen.told.isEmpty()) << seen.told.toStdString();
        } else {
            EXPECT_TRUE(seen.told.contains(told)) << "told: " << seen.told.toStdString() << "\nexpected: "
                                                  << told.toStdString();
        }
        EXPECT_EQ(seen.state, QString::fromLatin1(row.state));

        const QFileInfo after(stage.path);
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        EXPECT_EQ(after.isDir(), before.isDir());
        EXPECT_EQ(after.isFile(), before.isFile()) << "a FIFO stays a FIFO";
        const QByteArray old = oldBytes();
        const QByteArray now = readAll(stage.oldFile());
        switch (row.old) {
        case OldFile::Kept:
            EXPECT_EQ(now, old);
            break;
        case OldFile::GrewByWholeLines:
            EXPECT_TRUE(now.startsWith(old) && now.size() > old.size() && now.endsWith('\n'))
                << now.mid(old.size()).toStdString();
            break;
        case OldFile::ReplacedViaLink:
            EXPECT_TRUE(after.isSymLink());
            EXPECT_NE(now, old);
            EXPECT_TRUE(now.contains("[Tens1Config]")) << "lines it does not change are kept";
            break;
        case OldFile::CreatedViaLink:
            EXPECT_TRUE(after.isSymLink());
            EXPECT_FALSE(now.isEmpty());
            break;
        case OldFile::NotCreated:
            EXPECT_TRUE(after.isSymLink());
            EXPECT_FALSE(QFileInfo::exists(stage.target));
            break;
        case OldFile::None:
            EXPECT_FALSE(stage.hasOldFile());
            break;
        }
    }
}
