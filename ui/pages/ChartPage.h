#pragma once
// The "Wykres" page: the live chart, its run control, sampling and window lists, the threshold
// control, printing, bitmap export and the usage tips.

#include "display/core/NumberFormat.h"
#include "link/Measurement.h"
#include "recording/chart/ChartModel.h"
#include "recording/chart/ChartPlot.h"
#include "ui/icons/Icons.h"
#include "ui/widgets/TextBindings.h"

#include <QPrinter>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string_view>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace qmx::ui {

class HeaderBar;
class ChartAnalysisPanel;

/// The modal dialogs of the chart page behind one interface, so tests can answer them without
/// blocking. Every call returns when the dialog was closed.
class ChartDialogs {
public:
    virtual ~ChartDialogs() = default;
    /// Question box with OK and Cancel; true on OK.
    virtual bool confirm(const QString& caption, const QString& text) = 0;
    /// Information box with OK.
    virtual void information(const QString& caption, const QString& text) = 0;
    /// Warning box with OK.
    virtual void warning(const QString& caption, const QString& text) = 0;
    /// The standard error box, captioned with the application title.
    virtual void error(const QString& message) = 0;
    /// The printer setup dialog (PrinterSetupDialog1) on `printer`; its choices stay in `printer`.
    /// It only stores the set-up: its accept button reads "OK", not "Print".
    virtual void printerSetup(QPrinter& printer) = 0;
    /// The bitmap save dialog (SaveDialogChart, filter "Bitmap|*bmp"); empty when cancelled.
    virtual QString bitmapSaveName() = 0;
};

/// Real dialogs over `parent`.
std::unique_ptr<ChartDialogs> makeChartDialogs(QWidget* parent);

/// A new printer with the set-up of `printer` (printer or file, page, copies, colour, duplex).
std::unique_ptr<QPrinter> printerWithSetupOf(const QPrinter& printer);

/// What the chart page reads from the rest of the program. Every member may be left empty: no
/// measurement reads as zeros, no link as disconnected, no decimals as 1, no lookup as Polish.
struct ChartPageSources {
    /// The live measurement record (read on the user-interface thread at each sampling tick).
    std::function<const link::Measurement&()> measurement;
    /// Whether the transducer is connected.
    std::function<bool()> connected;
    /// Whether the record holds a measurement received since the link was made. While connected
    /// without one, a sampling tick plots nothing: the record still holds the values of an earlier
    /// link. Unset counts as live.
    std::function<bool()> measurementLive;
    /// Number of decimals shown (the index of decimalsList).
    std::function<int()> decimals;
    /// Text of a string identifier in the active language.
    std::function<QString(std::string_view)> lookupText;
    /// Decimal separator of number texts.
    display::NumberLocale locale = display::NumberLocale::system();
    /// The monotonic clock that times the rows (the system's steady clock when empty).
    recording::MonotonicClock clock;
};

/// The "Wykres" page (chartPage). Single-threaded: the chart timer runs on the user-interface
/// thread, as a precise single-shot timer re-armed after each tick, so a tick never overlaps the
/// buttons, the legend, printing or saving.
class ChartPage : public QWidget {
    Q_OBJECT
public:
    explicit ChartPage(QWidget* parent = nullptr);
    ChartPage(ChartPageSources sources, QWidget* parent);
    ~ChartPage() override;

    /// Puts every caption of the page, and the state it shows, into the interface language chosen now.
    void retranslate();

    /// Replaces what the page reads (measurement, link state, decimals, lookup, separators, clock).
    /// A new clock restarts the chart's time at 0.
    void setSources(ChartPageSources sources);
    /// Replaces the dialogs (tests answer them from a script).
    void setDialogs(std::unique_ptr<ChartDialogs> dialogs);

    // Preferences (keys ChartSeries1..5, Sampling, TimeSize, TrigStartVal, TrigStopVal).
    /// Whether series `index` (0..4 for Series1..Series5) is shown.
    bool seriesActive(int index) const;
    void setSeriesActive(int index, bool active);
    /// Selected sampling item.
    int samplingIndex() const;
    /// Selects sampling item `index` and runs samplingChanged (also when unchanged).
    void applySamplingIndex(int index);
    /// Selected time window item.
    int timeWindowIndex() const;
    /// Selects window item `index` and runs timeWindowChanged (also when unchanged).
    void applyTimeWindowIndex(int index);
    float trigStartVal() const;
    float trigStopVal() const;
    /// Takes both thresholds and shows them in their edits with two decimals.
    void setThresholds(float trigStartVal, float trigStopVal);

    /// The chart's run state.
    const recording::ChartModel& model() const { return m_model; }
    /// The printer that "Drukuj" prints on and "Opcje wydruku" sets up.
    QPrinter& printer() { return *m_printer; }

    // Handlers.
    void chartTick();
    void startChart();
    void pauseChart();
    void resetChart();
    void samplingChanged();
    void timeWindowChanged();
    void checkAutoStartValue();
    void checkAutoStopValue();
    void printChartPage();
    void choosePrinter();
    void saveChartImage();
    void showChartTips();

    // Controls.
    QGroupBox* chartGroup = nullptr;
    QFrame* chartPanel = nullptr;
    HeaderBar* chartHeader = nullptr;
    recording::ChartPlot* chartPlot = nullptr;
    QLineEdit* chartStatusEdit = nullptr;
    QPushButton* chartTipsButton = nullptr;
    QFrame* chartControlPanel = nullptr;
    QGroupBox* chartRunGroup = nullptr;
    QPushButton* chartStartButton = nullptr;
    QPushButton* chartPauseButton = nullptr;
    QPushButton* chartResetButton = nullptr;
    QComboBox* chartSamplingList = nullptr;
    QComboBox* chartTimeWindowList = nullptr;
    QGroupBox* chartOutputGroup = nullptr;
    QPushButton* chartPrintButton = nullptr;
    QPushButton* printerSetupButton = nullptr;
    QPushButton* chartImageButton = nullptr;
    QGroupBox* chartAutoGroup = nullptr;
    QCheckBox* autoStartStopCheck = nullptr;
    QComboBox* autoChannelList = nullptr;
    QLabel* triggerValueLabel = nullptr;
    QLineEdit* autoStartEdit = nullptr;
    QLineEdit* autoStopEdit = nullptr;
    /// Review of recordings, cursors, statistics, value axis and exports, under the chart.
    ChartAnalysisPanel* chartAnalysis = nullptr;
    /// The sampling tick: a precise single-shot timer, re-armed after each tick.
    QTimer* chartTimer = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPage();
    QGroupBox* buildRunGroup();
    QGroupBox* buildOutputGroup();
    QGroupBox* buildAutoGroup();
    void placeChartOverlays();
    void onChartTimeout();
    void onSeriesToggled(int index, bool active);
    void onReviewOpened(const QString& header);
    void showRunState();
    void showStatus(bool on);
    void showHeader();
    QString thresholdMessageText(const QString& message) const;
    QLabel* boundCaption(std::string_view id, QWidget* parent);
    QPushButton* boundButton(const char* name, std::string_view id, ButtonPicture picture, QWidget* parent);
    void applyResetView(const recording::ChartResetView& view);
    int chartTimerIntervalMs() const;
    int decimals() const;
    QString lookup(std::string_view id) const;

    ChartPageSources m_sources;
    std::unique_ptr<ChartDialogs> m_dialogs;
    recording::ChartModel m_model;
    // Replaced (with the same set-up) after a print that could not start: such a print can leave
    // the printer object in its printing state for good.
    std::unique_ptr<QPrinter> m_printer;
    TextBindings m_texts;
    /// What the header bar shows: the page's title (before the first start or pause), the run
    /// state, or the recording under review.
    enum class HeaderShows { Title, RunState, Review };
    HeaderShows m_headerShows = HeaderShows::Title;
    /// The state the status field shows.
    bool m_statusShownOn = false;
};

} // namespace qmx::ui
