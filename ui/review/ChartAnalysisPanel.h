#pragma once
// The strip under the chart that reviews and analyses what the chart shows: opening a recording
// (one run of it at a time), the two cursors, the statistics table, the value axis (autoscale,
// manual limits, fit all) and the exports. It works on whatever the chart holds, live samples
// included, without pausing.

#include "ChartCursors.h"
#include "display/core/NumberFormat.h"
#include "recording/chart/ChartData.h"
#include "recording/review/RecordingReader.h"

#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QCPAxisTicker;

namespace qmx::recording {
class ChartPlot;
}

namespace qmx::ui {

class ReviewedFile;

/// The dialogs of the review strip behind one interface, so tests answer them without blocking.
class ReviewDialogs {
public:
    virtual ~ReviewDialogs() = default;
    /// File dialog for a recording to open; empty when cancelled.
    virtual QString recordingToOpen() = 0;
    /// File dialog for an export (PNG, SVG, PDF or CSV, chosen by the name's extension); empty when
    /// cancelled.
    virtual QString exportFileName() = 0;
    /// The standard error box.
    virtual void error(const QString& message) = 0;
};

/// Real dialogs over `parent`.
std::unique_ptr<ReviewDialogs> makeReviewDialogs(QWidget* parent);

/// What the strip reads from the page: texts, decimals and separators.
struct ChartAnalysisTexts {
    std::function<QString(std::string_view)> lookupText;
    std::function<int()> decimals;
    display::NumberLocale locale = display::NumberLocale::system();
};

/// The review and analysis strip of one chart. Single-threaded: user-interface thread only.
class ChartAnalysisPanel : public QWidget {
    Q_OBJECT
public:
    /// Columns of the statistics table.
    enum Column { Cursor1, Cursor2, Difference, Min, Max, Mean, Deviation, PeakToPeak, Points, ColumnCount };

    ChartAnalysisPanel(recording::ChartPlot& plot, QWidget* parent);
    ~ChartAnalysisPanel() override;

    void setTexts(ChartAnalysisTexts texts);
    void setDialogs(std::unique_ptr<ReviewDialogs> dialogs);
    /// Texts again in the current language.
    void retranslate();
    /// The transducer's unit text (as the measurement page shows it), for the value axis title.
    void setLiveUnit(const QString& unitText);

    ChartCursors& cursors() { return *m_cursors; }

    /// Opens `path` and shows its newest run; the file is read on a worker thread and
    /// recordingLoaded() tells when it is done. On failure the error box names the file and the line.
    void openRecording(const QString& path);
    /// Shows run `index` of the open recording (0 = newest), read again from its file.
    void showRun(int index);
    /// Whether the chart shows a recording instead of live data.
    bool inReview() const { return m_review != nullptr; }
    /// Path of the recording shown (empty when live).
    QString reviewPath() const;
    /// The chart header's caption while a recording is shown, in the current language (empty when live).
    QString reviewHeader() const;
    /// Leaves the review: the chart goes back to live data (the page resets it).
    void leaveReview();

    /// Whether the value axis follows the live chart's own rule (neither autoscale nor limits set).
    bool leftRangeFollowsProgram() const;
    /// Called after a live sample was added: keeps an autoscaled value axis fitted.
    void onSampleAppended();
    /// Whole time range and all values in view.
    void fitAll();
    /// Writes the visible chart (PNG, SVG, PDF with the header) or the visible range (CSV in the
    /// program's format) to `path`, chosen by its extension, on a worker thread; exportFinished()
    /// tells when it is done. A file that cannot be written is reported in the error box.
    void exportTo(const QString& path);

    /// Statistics over the range the table uses: between the cursors when shown, else the visible
    /// time range.
    std::pair<double, double> statisticsRange() const;

    // Controls.
    QPushButton* openButton = nullptr;
    QComboBox* runList = nullptr;
    QCheckBox* cursorsToggle = nullptr;
    QCheckBox* autoscaleToggle = nullptr;
    QLineEdit* valueMinimumEdit = nullptr;
    QLineEdit* valueMaximumEdit = nullptr;
    QPushButton* fitAllButton = nullptr;
    QPushButton* exportButton = nullptr;
    QLabel* statusLabel = nullptr;
    QLabel* rangeLabel = nullptr;
    QTableWidget* statisticsTable = nullptr;
    QLabel* valueMinimumCaption = nullptr;
    QLabel* valueMaximumCaption = nullptr;

signals:
    /// A recording is now shown; `header` names it for the chart's header bar.
    void reviewOpened(const QString& header);
    /// A recording (or another run of it) finished loading; false when it could not be read.
    void recordingLoaded(bool shown);
    /// An export finished; false when the file could not be written.
    void exportFinished(bool written);

private:
    void build();
    void chooseRecording();
    void chooseExport();
    void startLoading(const QString& path, int runIndex);
    void finishLoading(const QString& path, recording::ReviewReadResult result);
    QString timeText(double x) const;
    void onAutoscaleToggled(bool on);
    void onManualLimitsEdited();
    void fitValueAxisToVisible();
    void refreshStatistics();
    void fitTableRows();
    void updateClockLabels();
    void showReviewStatus();
    void updateAxisTitle();
    void updateTimeTitle();
    QString lookup(std::string_view id) const;
    QString number(double value) const;
    std::optional<recording::ValueSpan> visibleSpan(double fromX, double toX) const;

    recording::ChartPlot& m_plot;
    QPointer<recording::ChartPlot> m_plotAlive;
    ChartCursors* m_cursors = nullptr;
    std::unique_ptr<ReviewDialogs> m_dialogs;
    ChartAnalysisTexts m_texts;
    QString m_liveUnit;
    QSharedPointer<QCPAxisTicker> m_liveTicker;
    QString m_liveTimeTitle;
    QString m_valueTitle;
    std::shared_ptr<ReviewedFile> m_review;
    int m_shownRun = 0;
    bool m_manualLimits = false;
};

} // namespace qmx::ui
