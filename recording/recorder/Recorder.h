#pragma once
// The CSV recorder: one step per measurement frame, the recording run, the file and the state of
// the recording indication.

#include "RecordFile.h"
#include "RecordFormat.h"
#include "RecordTrigger.h"

#include "display/core/NumberFormat.h"
#include "link/Measurement.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qmx::recording {

/// The choices of the "Rejestracja" page that the recorder follows. Changes take effect at the
/// next frame; the file name is read when the file is opened, at the first record of a run.
struct RecordOptions {
    RecordMode mode = RecordMode::Continuous;
    int speedIndex = kDefaultSpeedIndex; ///< index into kFramesPerRecord; outside it records as index 3
    RecordColumns columns;
    QString fileName = QString::fromLatin1(kDefaultFileName);
    /// Whether a symbolic link named as the file is written through (the window's file chosen in
    /// its dialog) or refused (the tool's --out without --follow-symlinks).
    bool followSymlinks = true;
};

/// What one frame did.
struct FrameOutcome {
    bool recorded = false;                   ///< a line was appended
    std::optional<std::uint32_t> framesLeft; ///< frames to the next periodic record, when counted
    std::optional<FileError> error;          ///< the file failed; the run has ended
};

/// What the recording indicators show.
enum class RecordIndication {
    Writing, ///< "ZAPIS", on colour: a record was written in the last 11 display ticks
    Active,  ///< "AKTYWNY", off colour: a run is on and the transducer is connected
    Idle,    ///< "...", off colour
};

/// Display ticks after a record during which the indicators read "ZAPIS".
inline constexpr std::uint32_t kWritingTicks = 11;

/// The recorder's state: the run, the counters, the IN2 edge detector and the file. Lines are
/// buffered; the owner calls flush() about once a second, which hands them to the file's writer
/// thread without waiting for the disk, and endRun() writes out everything, so at most the last
/// second or so of lines is at risk. A file that is not a regular file is refused when the run
/// begins; a file that cannot be opened or written ends the run and is reported as a FileError
/// value; nothing is written through a file that is not open.
/// Used from one thread (the user-interface thread in the program), so a record and the closing of
/// the file can never overlap; only the file's own writer thread runs beside it.
class Recorder {
public:
    /// The local date and time of a line, read once per line.
    using Clock = std::function<QDateTime()>;
    /// The number of decimals of the display, read once per line.
    using DecimalsSource = std::function<int()>;

    /// `clock` defaults to the computer's local clock. Without a decimals source values get 0 decimals.
    explicit Recorder(display::NumberLocale locale = display::NumberLocale::system(), Clock clock = {});
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void setDecimalsSource(DecimalsSource decimals) { m_decimals = std::move(decimals); }
    void setClock(Clock clock);
    void setLocale(const display::NumberLocale& locale) { m_locale = locale; }
    const display::NumberLocale& locale() const { return m_locale; }
    void setOptions(RecordOptions options) { m_options = std::move(options); }
    const RecordOptions& options() const { return m_options; }

    /// Replaces the system's fdatasync for the files of later runs (benchmarks simulate slow media).
    void setSyncFunction(RecordFile::SyncFunction sync) { m_sync = std::move(sync); }

    /// The recording switch was ticked: the next record starts with the header and number 0.
    /// The file named in the options is checked first, without opening it: a name that exists and
    /// is not a regular file (or is a symbolic link that is not to be followed) is refused, and
    /// the run does not begin.
    std::optional<FileError> beginRun();
    /// The recording switch was cleared: the file, if open, is flushed and closed. Returns the
    /// error of that last flush.
    std::optional<FileError> endRun();
    /// Ends the run like endRun(), but leaves writing out and syncing the last lines to the file's
    /// writer thread and returns at once (the window's switch). collectClosedFiles() closes the
    /// file once its writer is done and reports its error; the destructor waits for it.
    void endRunInBackground();
    /// Closes the files of ended runs whose writers are done; returns the first of their errors.
    std::optional<FileError> collectClosedFiles();
    /// Waits until the files of ended runs are written out, closes them and returns the first of
    /// their errors.
    std::optional<FileError> waitForClosedFiles();
    /// Files of ended runs are still being written out.
    bool closingFiles() const { return !m_closing.empty(); }
    /// Waits until the writers of ended runs are done, leaving the files to collectClosedFiles().
    void waitForClosingWriters();
    /// A run is on (the switch is ticked and the file has not failed).
    bool isRunning() const { return m_running; }

    /// One step per decoded measurement frame (recordMeasurement): tracks IN2, counts frames and
    /// appends a record when the mode asks for one. On a file error the run ends and the error is
    /// returned; the lines written before it stay in the file.
    FrameOutcome recordMeasurement(const link::Measurement& m);

    /// Hands the buffered lines to the file's writer thread and returns at once. Reports an error
    /// the writer met since the last call; on an error the run ends.
    std::optional<FileError> flush();
    /// Like flush(), then waits until the lines are written and synced.
    std::optional<FileError> flushAndWait();

    /// One display tick of the indicators (showRecordingState): the indication to show, then the
    /// tick is counted. `connected` tells whether the transducer is connected.
    RecordIndication showTick(bool connected);

    /// Value of the "No." column of the last record.
    std::int64_t recordNumber() const { return m_recordNumber; }
    /// Frames counted toward the next periodic record.
    std::uint32_t frameCounter() const { return m_trigger.frameCounter(); }
    /// The file of the run, open between its first record and the end of the run.
    bool fileOpen() const { return m_file && m_file->isOpen(); }
    /// Bytes of lines recorded but not yet handed to the file's writer thread.
    qsizetype bufferedBytes() const { return m_file ? m_file->buffered() : 0; }
    /// Records (lines of values, the header not counted) appended since the run began.
    std::int64_t runRecords() const { return m_runRecords; }
    /// Bytes appended to the file since the run began, the header included; counted as the lines
    /// are buffered, so reading it asks nothing of the disk.
    std::int64_t runBytes() const { return m_runBytes; }
    /// Size of the run's file: its size when the run began plus runBytes(). Only beginRun() asks
    /// the disk, so the figure can be shown as often as wanted.
    std::int64_t fileBytes() const { return m_runStartFileBytes + m_runBytes; }

private:
    std::optional<FileError> writeRecord(const link::Measurement& m);
    std::optional<FileError> failRun(FileError error);

    display::NumberLocale m_locale;
    Clock m_clock;
    DecimalsSource m_decimals;
    RecordOptions m_options;
    RecordTrigger m_trigger;
    RecordFile::SyncFunction m_sync;
    std::unique_ptr<RecordFile> m_file;
    // Files of ended runs that their writers are still writing out.
    std::vector<std::unique_ptr<RecordFile>> m_closing;
    // An error met while a new run waited for the files of ended runs; reported by the next
    // collectClosedFiles().
    std::optional<FileError> m_closingError;
    bool m_running = false;
    bool m_headerPending = false;
    // 64 bits: at 100 records a second a 32-bit number would turn negative after 248 days.
    std::int64_t m_recordNumber = 0;
    std::int64_t m_runRecords = 0;
    std::int64_t m_runBytes = 0;
    std::int64_t m_runStartFileBytes = 0;
    // Starts past the "ZAPIS" window: nothing has been recorded when the program starts.
    std::uint32_t m_ticksSinceRecord = kWritingTicks;
};

} // namespace qmx::recording
