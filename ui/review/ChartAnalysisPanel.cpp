#include "ChartAnalysisPanel.h"

#include "recording/chart/ChartPlot.h"
#include "recording/review/RecordingReader.h"
#include "recording/review/ReviewReport.h"
#include "recording/review/ReviewStatistics.h"
#include "ui/ErrorBox.h"

#include "lang/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimeZone>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace qmx::ui {

/// The recording under review: the file's runs and the run shown.
class ReviewedFile {
public:
    QString path;
    std::vector<recording::RecordingRun> runs;
    recording::ReviewRecording run;
};

namespace {

// Share of the value span left free above and below the curves when the value axis is fitted.
constexpr double kFitMargin = 0.05;
constexpr int kTableRowHeight = 17;
// Visible time span (seconds) below which clock labels show milliseconds.
constexpr double kClockMillisecondSpan = 20.0;

const std::array<std::string_view, ChartAnalysisPanel::ColumnCount> kColumnTitles{
    "IDS_ChartStatCursor1", "IDS_ChartStatCursor2", "IDS_ChartStatDifference",
    "IDS_ChartStatMin",     "IDS_ChartStatMax",     "IDS_ChartStatMean",
    "IDS_ChartStatDeviation", "IDS_ChartStatPeakToPeak", "IDS_ChartStatPoints"};

// Names of the chart's series (legend, statistics rows, report pictures), Series1..Series5.
const std::array<std::string_view, recording::kChartSeriesCount> kSeriesNames{
    "IDS_Sensor1", "IDS_Sensor2", "IDS_Sensor3", "IDS_Sensor4",
    "IDS_Sum"};

class FileReviewDialogs : public ReviewDialogs {
public:
    explicit FileReviewDialogs(QWidget* parent) : m_parent(parent) {}
    QString recordingToOpen() override
    {
        return QFileDialog::getOpenFileName(m_parent, QString(), QString(), QStringLiteral("CSV (*.csv);;* (*)"));
    }
    QString exportFileName() override
    {
        return QFileDialog::getSaveFileName(m_parent, QString(), QString(),
                                            QStringLiteral("PNG (*.png);;SVG (*.svg);;PDF (*.pdf);;CSV (*.csv)"));
    }
    void error(const QString& message) override { showErrorBox(m_parent, message); }

private:
    QWidget* m_parent;
};

bool clockTimeBase(recording::ReviewTimeBase base)
{
    return base != recording::ReviewTimeBase::RecordPeriod;
}

} // namespace

std::unique_ptr<ReviewDialogs> makeReviewDialogs(QWidget* parent)
{
    return std::make_unique<FileReviewDialogs>(parent);
}

ChartAnalysisPanel::ChartAnalysisPanel(recording::ChartPlot& plot, QWidget* parent)
    : QWidget(parent), m_plot(plot), m_plotAlive(&plot), m_dialogs(makeReviewDialogs(this))
{
    setObjectName(QStringLiteral("ChartAnalysisPanel"));
    m_cursors = new ChartCursors(m_plot, this);
    m_liveTicker = m_plot.xAxis->ticker();
    build();
    retranslate();
    connect(m_cursors, &ChartCursors::cursorsChanged, this, &ChartAnalysisPanel::refreshStatistics);
    connect(&m_plot, &QCustomPlot::afterReplot, this, &ChartAnalysisPanel::refreshStatistics);
    connect(m_plot.xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
        updateClockLabels();
        if (autoscaleToggle->isChecked()) {
            fitValueAxisToVisible();
        }
    });
}

ChartAnalysisPanel::~ChartAnalysisPanel()
{
    // A chart that outlives the strip must not draw from the freed store.
    if (m_plotAlive) {
        m_plot.showStore(nullptr);
    }
}

void ChartAnalysisPanel::build()
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);

    auto* firstRow = new QHBoxLayout;
    firstRow->setSpacing(4);
    openButton = new QPushButton(this);
    openButton->setObjectName(QStringLiteral("ChartOpenRecording"));
    runList = new QComboBox(this);
    runList->setObjectName(QStringLiteral("ChartRunList"));
    runList->setEnabled(false);
    runList->setVisible(false); // offered while a recording is shown
    runList->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    fitAllButton = new QPushButton(this);
    fitAllButton->setObjectName(QStringLiteral("ChartFitAll"));
    exportButton = new QPushButton(this);
    exportButton->setObjectName(QStringLiteral("ChartExport"));
    statusLabel = new QLabel(this);
    statusLabel->setObjectName(QStringLiteral("ChartReviewStatus"));
    statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    firstRow->addWidget(openButton);
    firstRow->addWidget(runList);
    firstRow->addWidget(statusLabel, 1);
    firstRow->addWidget(exportButton);
    column->addLayout(firstRow);
    // The buttons keep their whole captions (in the window's font, set after the strip is made).
    for (QPushButton* button : {openButton, fitAllButton, exportButton}) {
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    auto* secondRow = new QHBoxLayout;
    secondRow->setSpacing(4);
    cursorsToggle = new QCheckBox(this);
    cursorsToggle->setObjectName(QStringLiteral("ChartCursorsToggle"));
    autoscaleToggle = new QCheckBox(this);
    autoscaleToggle->setObjectName(QStringLiteral("ChartAutoscale"));
    valueMinimumCaption = new QLabel(this);
    valueMinimumEdit = new QLineEdit(this);
    valueMinimumEdit->setObjectName(QStringLiteral("ChartValueMinimum"));
    valueMinimumEdit->setFixedWidth(70);
    valueMaximumCaption = new QLabel(this);
    valueMaximumEdit = new QLineEdit(this);
    valueMaximumEdit->setObjectName(QStringLiteral("ChartValueMaximum"));
    valueMaximumEdit->setFixedWidth(70);
    rangeLabel = new QLabel(this);
    rangeLabel->setObjectName(QStringLiteral("ChartStatisticsRange"));
    rangeLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    rangeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    secondRow->addWidget(cursorsToggle);
    secondRow->addWidget(autoscaleToggle);
    secondRow->addWidget(valueMinimumCaption);
    secondRow->addWidget(valueMinimumEdit);
    secondRow->addWidget(valueMaximumCaption);
    secondRow->addWidget(valueMaximumEdit);
    secondRow->addWidget(fitAllButton);
    secondRow->addWidget(rangeLabel, 1);
    column->addLayout(secondRow);

    statisticsTable = new QTableWidget(1 + recording::kChartSeriesCount, ColumnCount, this);
    statisticsTable->setObjectName(QStringLiteral("ChartStatistics"));
    statisticsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    statisticsTable->setSelectionMode(QAbstractItemView::NoSelection);
    statisticsTable->setFocusPolicy(Qt::NoFocus);
    statisticsTable->verticalHeader()->setDefaultSectionSize(kTableRowHeight);
    statisticsTable->verticalHeader()->setMinimumSectionSize(kTableRowHeight);
    statisticsTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    statisticsTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // Clock readings are the widest texts: their columns take what they need.
    statisticsTable->horizontalHeader()->setSectionResizeMode(Cursor1, QHeaderView::ResizeToContents);
    statisticsTable->horizontalHeader()->setSectionResizeMode(Cursor2, QHeaderView::ResizeToContents);
    statisticsTable->horizontalHeader()->setMinimumSectionSize(30);
    statisticsTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    statisticsTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < statisticsTable->rowCount(); ++row) {
        for (int col = 0; col < ColumnCount; ++col) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            statisticsTable->setItem(row, col, item);
        }
    }
    column->addWidget(statisticsTable);

    connect(openButton, &QPushButton::clicked, this, &ChartAnalysisPanel::chooseRecording);
    connect(runList, &QComboBox::activated, this, &ChartAnalysisPanel::showRun);
    connect(fitAllButton, &QPushButton::clicked, this, &ChartAnalysisPanel::fitAll);
    connect(exportButton, &QPushButton::clicked, this, &ChartAnalysisPanel::chooseExport);
    connect(cursorsToggle, &QCheckBox::toggled, m_cursors, &ChartCursors::setShown);
    connect(autoscaleToggle, &QCheckBox::toggled, this, &ChartAnalysisPanel::onAutoscaleToggled);
    connect(valueMinimumEdit, &QLineEdit::editingFinished, this, &ChartAnalysisPanel::onManualLimitsEdited);
    connect(valueMaximumEdit, &QLineEdit::editingFinished, this, &ChartAnalysisPanel::onManualLimitsEdited);
}

void ChartAnalysisPanel::setTexts(ChartAnalysisTexts texts)
{
    m_texts = std::move(texts);
    retranslate();
}

void ChartAnalysisPanel::setDialogs(std::unique_ptr<ReviewDialogs> dialogs)
{
    m_dialogs = std::move(dialogs);
}

QString ChartAnalysisPanel::lookup(std::string_view id) const
{
    return m_texts.lookupText ? m_texts.lookupText(id) : lang::lookupText(id, lang::Language::Polish);
}

void ChartAnalysisPanel::retranslate()
{
    openButton->setText(lookup("IDS_ChartOpenRecording"));
    fitAllButton->setText(lookup("IDS_ChartFitAll"));
    exportButton->setText(lookup("IDS_ChartExport"));

    cursorsToggle->setText(lookup("IDS_ChartCursors"));
    autoscaleToggle->setText(lookup("IDS_ChartAutoscale"));
    valueMinimumCaption->setText(lookup("IDS_ChartYMin"));
    valueMaximumCaption->setText(lookup("IDS_ChartYMax"));
    QStringList titles;
    for (std::string_view id : kColumnTitles) {
        titles << lookup(id);
    }
    statisticsTable->setHorizontalHeaderLabels(titles);
    QStringList rows{lookup(m_review && clockTimeBase(m_review->run.timeBase) ? "IDS_ChartStatClock"
                                                                                : "IDS_ChartStatTime")};
    for (int i = 0; i < recording::kChartSeriesCount; ++i) {
        const QString name = lookup(kSeriesNames[static_cast<std::size_t>(i)]);
        rows << name;
        // The chart's legend and the table's rows name the series alike.
        if (m_plotAlive && m_plot.chartSeries(i)->name() != name) {
            m_plot.chartSeries(i)->setName(name);
        }
    }
    statisticsTable->setVerticalHeaderLabels(rows);
    m_liveTimeTitle = lookup("IDS_ChartStatTime");
    m_valueTitle = lookup("IDS_ChartAxisValue");
    updateTimeTitle();
    updateAxisTitle();
    if (m_review) {
        const int shown = m_shownRun;
        runList->clear();
        const int count = static_cast<int>(m_review->runs.size());
        for (int i = 0; i < count; ++i) {
            runList->addItem(lookup("IDS_ChartRun")
                                 .arg(count - i)
                                 .arg(m_review->runs[static_cast<std::size_t>(i)].lineCount));
        }
        runList->setCurrentIndex(shown);
        showReviewStatus();
    }
    refreshStatistics();
}

void ChartAnalysisPanel::fitTableRows()
{
    // A row per shown series (and one for the cursors' time), no more: the chart keeps the height.
    int rows = 0;
    for (int row = 0; row < statisticsTable->rowCount(); ++row) {
        const bool wanted = row == 0 ? m_cursors->shown()
                                     : m_plot.seriesActive(row - 1) &&
                                           (!m_review || m_review->run.present[static_cast<std::size_t>(row - 1)]);
        if (statisticsTable->isRowHidden(row) == wanted) {
            statisticsTable->setRowHidden(row, !wanted);
        }
        rows += wanted ? 1 : 0;
    }
    const int height = statisticsTable->horizontalHeader()->sizeHint().height() + rows * kTableRowHeight +
                       2 * statisticsTable->frameWidth();
    if (statisticsTable->height() != height) {
        statisticsTable->setFixedHeight(height);
    }
}

void ChartAnalysisPanel::setLiveUnit(const QString& unitText)
{
    m_liveUnit = unitText.trimmed();
    updateAxisTitle();
}

void ChartAnalysisPanel::updateTimeTitle()
{
    if (!m_plotAlive) {
        return;
    }
    QString title = m_liveTimeTitle;
    if (m_review && clockTimeBase(m_review->run.timeBase)) {
        // The recorded clock: the run's start date goes into the title (the labels show the time).
        const QDateTime start = m_review->run.clockAt(0);
        title = m_review->run.timeBase == recording::ReviewTimeBase::ClockTime && start.isValid()
                    ? QStringLiteral("%1 (%2)").arg(lookup("IDS_ChartStatClock"),
                                                   start.toString(QStringLiteral("d.MM.yyyy")))
                    : lookup("IDS_ChartStatClock");
    }
    m_plot.xAxis->setLabel(title);
}

QString ChartAnalysisPanel::reviewHeader() const
{
    return m_review ? lookup("IDS_ChartReviewHeader").arg(QFileInfo(m_review->path).fileName()) : QString();
}

void ChartAnalysisPanel::updateAxisTitle()
{
    const QString unit = m_review ? QString() : m_liveUnit;
    m_plot.yAxis->setLabel(unit.isEmpty() ? m_valueTitle : QStringLiteral("%1 [%2]").arg(m_valueTitle, unit));
    m_plot.scheduleReplot();
}

QString ChartAnalysisPanel::number(double value) const
{
    const int decimals = m_texts.decimals ? std::max(0, m_texts.decimals()) : 1;
    // Two more decimals than the readings: means and deviations fall between recorded steps.
    return display::formatNumber(value, decimals + 2, m_texts.locale);
}

QString ChartAnalysisPanel::reviewPath() const
{
    return m_review ? m_review->path : QString();
}

void ChartAnalysisPanel::chooseRecording()
{
    const QString path = m_dialogs->recordingToOpen();
    if (!path.isEmpty()) {
        openRecording(path);
    }
}

void ChartAnalysisPanel::openRecording(const QString& path)
{
    startLoading(path, 0);
}

void ChartAnalysisPanel::showRun(int index)
{
    if (m_review && index >= 0 && index < static_cast<int>(m_review->runs.size())) {
        startLoading(m_review->path, index);
    }
}

void ChartAnalysisPanel::startLoading(const QString& path, int runIndex)
{
    // The file is read on a worker thread: a large recording takes a moment, the window stays live.
    openButton->setEnabled(false);
    runList->setEnabled(false);
    using Result = std::shared_ptr<recording::ReviewReadResult>;
    auto* watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcher<Result>::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        finishLoading(path, std::move(*watcher->future().result()));
    });
    watcher->setFuture(QtConcurrent::run([path, runIndex] {
        return std::make_shared<recording::ReviewReadResult>(recording::openRecording(path, runIndex));
    }));
}

void ChartAnalysisPanel::finishLoading(const QString& path, recording::ReviewReadResult result)
{
    openButton->setEnabled(true);
    runList->setEnabled(m_review != nullptr);
    if (!result.recording) {
        const QString name = QFileInfo(path).fileName();
        if (result.error && result.error->line > 0) {
            m_dialogs->error(lookup("IDS_ChartReviewForeignLine").arg(name).arg(result.error->line));
        } else {
            m_dialogs->error(
                lookup("IDS_ChartReviewFailed").arg(name, result.error ? result.error->reason : QString()));
        }
        emit recordingLoaded(false);
        return;
    }
    auto review = std::make_shared<ReviewedFile>();
    review->path = path;
    review->runs = std::move(result.runs);
    review->run = std::move(*result.recording);
    m_plot.showStore(review->run.data.get());
    m_review = std::move(review);
    m_shownRun = m_review->run.runIndex;
    runList->setEnabled(true);
    runList->setVisible(true);

    // The time axis reads the recorded clock when the run has one.
    if (clockTimeBase(m_review->run.timeBase)) {
        auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        ticker->setTimeZone(QTimeZone::utc());
        // One line of labels keeps the plot tall; the run's start date goes into the axis title.
        ticker->setDateTimeFormat(QStringLiteral("HH:mm:ss"));
        m_plot.xAxis->setTicker(ticker);
        updateClockLabels();
    } else {
        m_plot.xAxis->setTicker(m_liveTicker);
    }
    retranslate();
    fitAll();
    if (m_cursors->shown()) {
        m_cursors->setShown(false);
        m_cursors->setShown(true);
    }
    if (m_review->run.damagedLines > 0) {
        m_dialogs->error(lookup("IDS_ChartReviewDamaged")
                             .arg(QFileInfo(path).fileName())
                             .arg(m_review->run.firstDamagedLine)
                             .arg(m_review->run.damagedLines));
    }
    emit reviewOpened(reviewHeader());
    emit recordingLoaded(true);
}

void ChartAnalysisPanel::updateClockLabels()
{
    auto* ticker = dynamic_cast<QCPAxisTickerDateTime*>(m_plot.xAxis->ticker().data());
    if (!ticker) {
        return;
    }
    // Milliseconds appear once the labels are less than a few seconds apart.
    const QString format = m_plot.xAxis->range().size() < kClockMillisecondSpan ? QStringLiteral("HH:mm:ss.zzz")
                                                                               : QStringLiteral("HH:mm:ss");
    if (ticker->dateTimeFormat() != format) {
        ticker->setDateTimeFormat(format);
    }
}

void ChartAnalysisPanel::showReviewStatus()
{
    if (!m_review) {
        statusLabel->clear();
        return;
    }
    QString text = lookup("IDS_ChartReviewStatus")
                       .arg(QFileInfo(m_review->path).fileName())
                       .arg(static_cast<qulonglong>(m_review->run.data->size()));
    if (m_review->run.tornLines > 0) {
        text += QStringLiteral("; ") + lookup("IDS_ChartReviewTorn");
    }
    statusLabel->setText(text);
}

void ChartAnalysisPanel::leaveReview()
{
    if (!m_review) {
        return;
    }
    m_plot.showStore(nullptr);
    m_review.reset();
    m_plot.xAxis->setTicker(m_liveTicker);
    runList->clear();
    runList->setEnabled(false);
    runList->setVisible(false);
    retranslate();
    showReviewStatus();
}

bool ChartAnalysisPanel::leftRangeFollowsProgram() const
{
    return !autoscaleToggle->isChecked() && !m_manualLimits;
}

void ChartAnalysisPanel::onSampleAppended()
{
    if (autoscaleToggle->isChecked()) {
        fitValueAxisToVisible();
    }
}

std::optional<recording::ValueSpan> ChartAnalysisPanel::visibleSpan(double fromX, double toX) const
{
    const recording::ChartData& data = m_plot.chartData();
    const std::size_t first = data.lowerBound(std::min(fromX, toX));
    const std::size_t last = data.upperBound(std::max(fromX, toX));
    recording::ValueSpan span;
    for (int i = 0; i < recording::kChartSeriesCount; ++i) {
        if (m_plot.seriesActive(i) && first < last) {
            span.merge(data.span(i, first, last));
        }
    }
    if (span.empty()) {
        return std::nullopt;
    }
    return span;
}

void ChartAnalysisPanel::fitValueAxisToVisible()
{
    const QCPRange time = m_plot.xAxis->range();
    const auto span = visibleSpan(time.lower, time.upper);
    if (!span) {
        return;
    }
    // Fitted to the values alone: zero is not forced into view.
    double lower = span->min;
    double upper = span->max;
    const double margin = upper > lower ? (upper - lower) * kFitMargin : std::max(1.0, std::abs(upper) * kFitMargin);
    lower -= margin;
    upper += margin;
    m_plot.setLeftRange({lower, upper});
}

void ChartAnalysisPanel::onAutoscaleToggled(bool on)
{
    if (on) {
        m_manualLimits = false;
        fitValueAxisToVisible();
    }
}

void ChartAnalysisPanel::onManualLimitsEdited()
{
    if (valueMinimumEdit->text().trimmed().isEmpty() && valueMaximumEdit->text().trimmed().isEmpty()) {
        m_manualLimits = false; // both cleared: the chart's own rule again
        return;
    }
    const auto lower = display::parseUserReal(valueMinimumEdit->text(), m_texts.locale);
    const auto upper = display::parseUserReal(valueMaximumEdit->text(), m_texts.locale);
    if (!lower || !upper || !(*lower < *upper)) {
        return; // both limits are needed, the lower below the upper
    }
    m_manualLimits = true;
    autoscaleToggle->setChecked(false);
    m_plot.setLeftRange({*lower, *upper});
}

void ChartAnalysisPanel::fitAll()
{
    const recording::ChartData& data = m_plot.chartData();
    if (data.empty()) {
        return;
    }
    const double first = data.x(0);
    double last = data.x(data.size() - 1);
    if (!(last > first)) {
        last = first + 1.0;
    }
    m_plot.setBottomRange({first, last});
    if (!m_manualLimits) {
        fitValueAxisToVisible();
    }
}

std::pair<double, double> ChartAnalysisPanel::statisticsRange() const
{
    if (m_cursors->shown()) {
        return {std::min(m_cursors->position(0), m_cursors->position(1)),
                std::max(m_cursors->position(0), m_cursors->position(1))};
    }
    const QCPRange range = m_plot.xAxis->range();
    return {range.lower, range.upper};
}

QString ChartAnalysisPanel::timeText(double x) const
{
    if (m_review && clockTimeBase(m_review->run.timeBase)) {
        const QDateTime clock = QDateTime::fromMSecsSinceEpoch(std::llround(x * 1000.0), QTimeZone::utc());
        return clock.toString(QStringLiteral("HH:mm:ss.zzz"));
    }
    return display::formatNumber(x, 3, m_texts.locale);
}

void ChartAnalysisPanel::refreshStatistics()
{
    const recording::ChartData& data = m_plot.chartData();
    const bool cursors = m_cursors->shown();
    for (int col : {Cursor1, Cursor2, Difference}) {
        statisticsTable->setColumnHidden(col, !cursors);
    }
    rangeLabel->setText(lookup(cursors ? "IDS_ChartRangeCursors" : "IDS_ChartRangeVisible"));
    fitTableRows();
    const auto [fromX, toX] = statisticsRange();
    std::array<recording::CursorReading, ChartCursors::kCursorCount> readings{};
    if (cursors) {
        for (int i = 0; i < ChartCursors::kCursorCount; ++i) {
            readings[static_cast<std::size_t>(i)] = recording::cursorReadingAt(data, m_cursors->position(i));
        }
        statisticsTable->item(0, Cursor1)->setText(readings[0].valid ? timeText(readings[0].x) : QString());
        statisticsTable->item(0, Cursor2)->setText(readings[1].valid ? timeText(readings[1].x) : QString());
        statisticsTable->item(0, Difference)
            ->setText(readings[0].valid ? display::formatNumber(readings[1].x - readings[0].x, 3, m_texts.locale)
                                        : QString());
    }
    for (int i = 0; i < recording::kChartSeriesCount; ++i) {
        const int row = 1 + i;
        const bool shown = m_plot.seriesActive(i);
        auto set = [&](int col, const QString& text) { statisticsTable->item(row, col)->setText(text); };
        if (cursors) {
            const auto value = [&](int c) {
                const auto& r = readings[static_cast<std::size_t>(c)];
                return r.valid ? static_cast<double>(r.values[static_cast<std::size_t>(i)]) : std::nan("");
            };
            const double v0 = value(0);
            const double v1 = value(1);
            set(Cursor1, std::isfinite(v0) && shown ? number(v0) : QString());
            set(Cursor2, std::isfinite(v1) && shown ? number(v1) : QString());
            set(Difference, std::isfinite(v0) && std::isfinite(v1) && shown ? number(v1 - v0) : QString());
        }
        const recording::SeriesStatistics stats =
            shown ? recording::seriesStatisticsBetween(data, i, fromX, toX) : recording::SeriesStatistics{};
        const bool any = !stats.empty();
        set(Min, any ? number(stats.min) : QString());
        set(Max, any ? number(stats.max) : QString());
        set(Mean, any ? number(stats.mean) : QString());
        set(Deviation, any ? number(stats.stdDev) : QString());
        set(PeakToPeak, any ? number(stats.peakToPeak) : QString());
        set(Points, shown ? QString::number(stats.count) : QString());
    }
}

void ChartAnalysisPanel::chooseExport()
{
    const QString path = m_dialogs->exportFileName();
    if (!path.isEmpty()) {
        exportTo(path);
    }
}

void ChartAnalysisPanel::exportTo(const QString& path)
{
    const QCPRange range = m_plot.xAxis->range();
    // The file is written on a worker thread. It reads a store nobody changes meanwhile: the
    // review's own (kept alive by the task even if the user moves on), or a copy of the live rows
    // in view (the live store grows with every tick).
    const std::shared_ptr<const ReviewedFile> review = m_review;
    std::shared_ptr<recording::ChartData> liveRows;
    if (!review) {
        const recording::ChartData& live = m_plot.liveData();
        liveRows = std::make_shared<recording::ChartData>();
        const std::size_t last = live.upperBound(range.upper);
        for (std::size_t row = live.lowerBound(range.lower); row < last; ++row) {
            recording::ChartValues values{};
            for (int i = 0; i < recording::kChartSeriesCount; ++i) {
                values[static_cast<std::size_t>(i)] = live.y(i, row);
            }
            liveRows->append(live.x(row), values);
        }
    }
    const recording::ChartData* rows = review ? review->run.data.get() : liveRows.get();
    const display::NumberLocale locale = m_texts.locale;

    std::function<std::optional<QString>()> write;
    if (const auto format = recording::reportFormatForFileName(path)) {
        recording::ReportRequest request;
        request.data = rows;
        for (int i = 0; i < recording::kChartSeriesCount; ++i) {
            request.series[static_cast<std::size_t>(i)] = m_plot.seriesActive(i);
        }
        request.fromX = range.lower;
        request.toX = range.upper;
        if (review) {
            request.timeBase = review->run.timeBase;
            request.source = QFileInfo(review->path).fileName();
            request.date = review->run.clockAt(0);
        } else {
            request.source = lookup("IDS_ChartLiveSource");
            request.date = QDateTime::currentDateTime();
            request.unit = m_liveUnit;
        }
        // The picture shows the window's words, as the chart on screen does.
        for (int i = 0; i < recording::kChartSeriesCount; ++i) {
            request.texts.series[static_cast<std::size_t>(i)] = lookup(kSeriesNames[static_cast<std::size_t>(i)]);
        }
        request.texts.mean = lookup("IDS_ChartReportMean");
        request.texts.deviation = lookup("IDS_ChartReportDeviation");
        write = [request, path, format, review, liveRows] { return recording::writeReport(request, path, *format); };
    } else if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        if (review) {
            write = [review, range, path, locale] {
                return recording::exportRecordingCsv(review->run, range.lower, range.upper, path, locale);
            };
        } else {
            recording::CsvExportLayout layout;
            layout.columns.count = true;
            layout.columns.sum = true;
            layout.columns.sensor = {true, true, true, true};
            layout.decimals = m_texts.decimals ? std::max(0, m_texts.decimals()) : 1;
            write = [liveRows, layout, range, path, locale] {
                return recording::exportChartCsv(*liveRows, layout, range.lower, range.upper, path, locale);
            };
        }
    } else {
        write = [] { return std::optional<QString>(QString()); }; // no format for this name
    }

    exportButton->setEnabled(false);
    using Failure = std::optional<QString>;
    auto* watcher = new QFutureWatcher<Failure>(this);
    connect(watcher, &QFutureWatcher<Failure>::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        exportButton->setEnabled(true);
        const bool written = !watcher->future().result().has_value();
        if (!written) {
            m_dialogs->error(lookup("IDS_ChartExportFailed").arg(path));
        }
        emit exportFinished(written);
    });
    watcher->setFuture(QtConcurrent::run(std::move(write)));
}

} // namespace qmx::ui
