#pragma once
// The "Rejestracja" page: recording measurements to a CSV file, periodically or under control of
// input IN2. The controls hold the choices; the recorder core does the work.

#include "recording/recorder/Recorder.h"
#include "ui/widgets/TextBindings.h"

#include <QDateTime>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qmx::ui {

class HeaderBar;

/// The page `recordingPage`. All of it runs on the user-interface thread; recordMeasurement() is called
/// from the measurement dispatch, so it never opens a dialog itself (a failure's message box is
/// queued and shown after the dispatch has returned).
class RecordingPage : public QWidget {
    Q_OBJECT
public:
    /// The dialogs the page opens, replaceable so that tests never block on one.
    struct Dialogs {
        /// The save dialog: returns the chosen file name, or an empty text when cancelled.
        /// `current` is the name shown now, `filter` the dialog's filter.
        std::function<QString(QWidget* parent, const QString& current, const QString& filter)> saveFileName;
        /// A warning message box with an OK button.
        std::function<void(QWidget* parent, const QString& title, const QString& text)> warning;
    };

    /// Filter of the save dialog: CSV or TXT files.
    static constexpr const char* kSaveFilter = "CSV (*.csv);;TXT (*.txt)";
    /// Interval of the timer that writes the buffered lines to the disk.
    static constexpr int kFlushIntervalMs = 1000;

    /// Captions and messages are taken through `lookup` in the interface language chosen at the time.
    explicit RecordingPage(TextBindings::Lookup lookup, QWidget* parent = nullptr);
    /// A page in Polish, the language the window starts in.
    explicit RecordingPage(QWidget* parent = nullptr);
    ~RecordingPage() override;

    /// Puts every caption of the page, and the state it shows, into the interface language chosen now.
    void retranslate();

    void setDialogs(Dialogs dialogs);
    /// Where the number of decimals of the display (Decp) is read, once per record.
    void setDecimalsSource(std::function<int()> decimals);
    /// The clock of the lines (the local clock by default; tests give a fixed one).
    void setClock(recording::Recorder::Clock clock);
    /// Decimal separator of the values (the user's regional settings by default).
    void setNumberLocale(const display::NumberLocale& locale);

    /// One step of the recorder for a decoded measurement; called for every measurement report.
    void recordMeasurement(const link::Measurement& m);
    /// Refreshes the recording indicators: the page's header and status field and the status
    /// strip's `statusBarAcquisition` (may be null). Called at the end of every display tick.
    void showRecordingState(bool connected, QLineEdit* statusBarAcquisition);
    /// The flush timer's tick: hands the buffered lines to the file's writer thread (the disk is
    /// written and synced on that thread, so a slow medium never holds up the window), and closes
    /// the file of an ended run once its writer is done, reporting its error. The timer runs while
    /// a run is on and until the file of an ended run is closed.
    void flushRecording();

    // Preferences kept in the application settings file, section "Options".
    /// "Checkbox_DataAcquistion": the recording switch. Setting a new state runs its click handler.
    bool dataAcquisition() const;
    void setDataAcquisition(bool on);
    /// "DataAcquistionSpeed": the speed list's index; -1 when none is selected. An index outside
    /// the list leaves no selection (and records as " 10 / s.").
    int dataAcquisitionSpeed() const;
    void setDataAcquisitionSpeed(int index);
    /// "FileName": the recording file name shown in fileNameEdit.
    QString fileName() const;
    void setFileName(const QString& name);
    /// "SaveDate" .. "SaveDataSens4": the column check boxes.
    recording::RecordColumns columns() const;
    void setColumns(const recording::RecordColumns& columns);

    /// The mode chosen by the radio buttons (not stored in the preferences).
    recording::RecordMode mode() const;
    const recording::Recorder& recorder() const { return m_recorder; }
    recording::Recorder& recorder() { return m_recorder; }
    /// The timer that hands the buffered lines over once a second while a run is on, and closes
    /// the file of an ended run.
    QTimer& flushTimer() { return m_flushTimer; }

    // The page's controls. Each one's object name is the name the language, preferences and
    // tool-tip tables key on.
    HeaderBar* fileHeader = nullptr;
    QCheckBox* recordingCheck = nullptr;
    QLineEdit* in2StateEdit = nullptr; ///< state of input IN2, written by the display tick
    QLabel* recordTimeLabel = nullptr;
    QLineEdit* recordingStatusEdit = nullptr;
    QGroupBox* recordModeGroup = nullptr;
    QRadioButton* continuousRadio = nullptr;
    QRadioButton* whileIn2Radio = nullptr;
    QRadioButton* startOnIn2Radio = nullptr;
    QComboBox* recordIntervalList = nullptr;
    QGroupBox* recordColumnsGroup = nullptr;
    QCheckBox* saveDateCheck = nullptr;
    QCheckBox* saveTimeCheck = nullptr;
    QCheckBox* saveCounterCheck = nullptr;
    QCheckBox* saveSumCheck = nullptr;
    QCheckBox* saveSensor1Check = nullptr;
    QCheckBox* saveSensor2Check = nullptr;
    QCheckBox* saveSensor3Check = nullptr;
    QCheckBox* saveSensor4Check = nullptr;
    QLineEdit* fileNameEdit = nullptr;
    QPushButton* chooseFileButton = nullptr;
    /// The running run's records written, file size and time since it began; the last run's
    /// figures stay until a new run begins. Refreshed by the once-a-second flush.
    QLabel* recordProgress = nullptr;

public slots:
    /// The recording switch changed (by the user or by the program): begins or ends a run.
    void recordingToggled();
    /// "Scieżka zapisu": chooses the file name through the save dialog.
    void save();

signals:
    /// The user chose a recording file; the name is to be stored at once under "FileName".
    void fileNameChosen(const QString& fileName);
    /// A text for the status line.
    void statusMessage(const QString& text);

private:
    void buildControls();
    void connectControls();
    /// Hands the current choices of the controls to the recorder (after any of them changed).
    void syncOptions();
    /// Locks the file button and the column boxes while a run is on: the file and its header
    /// stay those the run began with.
    void lockRunChoices(bool locked);
    QString writeErrorText(const recording::FileError& error) const;
    void reportFileError(const recording::FileError& error);
    /// The switch was refused before a run began (the file cannot be a recording file).
    void reportRefusedStart(const recording::FileError& error);
    void showMessage(const QString& text);
    /// Takes the run's records, file size and elapsed time and writes them into `recordProgress`.
    void showRecordProgress();
    /// Writes the figures taken last into `recordProgress` in the interface language.
    void writeRecordProgress();
    /// Writes the indication shown last into a state field in the interface language.
    void showIndication(QLineEdit* edit) const;

    /// Figures of the progress line.
    struct RecordProgress {
        std::int64_t records = 0;
        qint64 fileBytes = 0;
        qint64 elapsedMs = 0;
    };

    recording::Recorder m_recorder;
    recording::Recorder::Clock m_clock;
    // When the run began, for its elapsed time.
    QDateTime m_runStart;
    QTimer m_flushTimer;
    Dialogs m_dialogs;
    // What the indicators and the progress line show, so that a change of language can show it again.
    std::optional<bool> m_headerShownOn;
    std::optional<recording::RecordIndication> m_indicationShown;
    std::optional<RecordProgress> m_progressShown;
    TextBindings m_texts;
};

} // namespace qmx::ui
