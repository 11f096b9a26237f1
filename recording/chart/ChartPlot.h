#pragma once
// The chart widget: QCustomPlot with five series over one sample store, a legend with a check box
// per series, the time axis labels, rectangle zoom and horizontal panning, printing and bitmaps.

#include "ChartData.h"
#include "ChartModel.h"
#include "ChartSeriesPlottable.h"
#include "display/core/NumberFormat.h"

#include <QPoint>
#include <QTimer>
#include <qcustomplot.h>

#include <array>

class QPrinter;
class QRubberBand;

namespace qmx::recording {

/// Title, legend text and colour of a chart series.
struct ChartSeriesStyle {
    const char* objectName;
    const char* title;
    const char* legendText;
    QRgb color;
};

/// Styles of Series1..Series5 (channels 1..4, then the sum).
extern const std::array<ChartSeriesStyle, kChartSeriesCount> kChartSeriesStyles;

/// Pen width of every series, in pixels.
inline constexpr int kChartPenWidth = 2;
/// Shortest time between two redraws caused by appended rows, in milliseconds.
inline constexpr int kChartRedrawIntervalMs = 40;

/// The chart. Mouse: dragging with the left button from upper left to lower right zooms into the
/// marked rectangle, dragging the other way restores the ranges the program set last; dragging with
/// the right button moves the time axis. A click on a legend entry switches the series on or off.
/// Single-threaded: user-interface thread only.
class ChartPlot : public QCustomPlot {
    Q_OBJECT
public:
    explicit ChartPlot(QWidget* parent = nullptr);
    ~ChartPlot() override;

    /// The samples the chart shows: its own live samples, or the store given to showStore().
    const ChartData& chartData() const { return m_shown ? *m_shown : m_data; }
    /// The chart's own live samples, shown or not.
    const ChartData& liveData() const { return m_data; }
    /// Shows the rows of `store` (a recording under review) instead of the chart's own samples;
    /// nullptr shows the own samples again. Appended samples still go to the own store. `store`
    /// must outlive its showing.
    void showStore(const ChartData* store);
    /// Whether another store than the chart's own is shown.
    bool showsOtherStore() const { return m_shown != nullptr; }
    /// Series `index` (0..4 for Series1..Series5).
    ChartSeriesPlottable* chartSeries(int index) const;

    /// Appends one sample to all five series (hidden ones included) and schedules a redraw.
    void appendSample(double x, const ChartValues& values);
    /// Removes every sample and schedules a redraw.
    void clearSamples();

    /// Shows or hides series `index`; updates its legend check box.
    void setSeriesActive(int index, bool active);
    bool seriesActive(int index) const;

    /// Sets an axis range as the program's view (the one zooming out returns to).
    void setBottomRange(const AxisRange& range);
    void setLeftRange(const AxisRange& range);
    AxisRange bottomRange() const;
    AxisRange leftRange() const;

    /// Zooms into a rectangle given in widget pixels.
    void zoomToPixelRect(const QRect& rect);
    /// Returns to the ranges the program set last.
    void zoomOut();
    /// Moves the time axis by `pixels` (positive: the curves move right).
    void panByPixels(int pixels);

    /// Separators used by the time axis labels.
    void setNumberLocale(const display::NumberLocale& locale);

    /// Prints the chart on `printer`, stretched over the page inside margins of 10, 15, 10 and 15
    /// percent (left, top, right, bottom). Returns false when the printer cannot be opened.
    bool printChart(QPrinter& printer);
    /// Saves the chart as a BMP image; returns whether the file was written.
    bool saveBitmap(const QString& fileName);

    /// Redraws within kChartRedrawIntervalMs; several requests meanwhile give one redraw.
    void scheduleReplot();

signals:
    /// The user switched series `index` on or off with its legend check box.
    void seriesActiveToggled(int index, bool active);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onLegendClick(QCPLegend* legend, QCPAbstractLegendItem* item, QMouseEvent* event);
    void redrawNow();

    enum class Drag { None, Zoom, Pan };

    ChartData m_data;
    const ChartData* m_shown = nullptr;
    std::array<ChartSeriesPlottable*, kChartSeriesCount> m_series{};
    QSharedPointer<QCPAxisTicker> m_timeTicker;
    QTimer m_redrawTimer;
    bool m_redrawPending = false;
    AxisRange m_programBottom{0.0, 1.0};
    AxisRange m_programLeft{-1.0, 1.0};
    Drag m_drag = Drag::None;
    QPoint m_dragStart;
    QCPRange m_panStartRange;
    QRubberBand* m_rubberBand = nullptr;
};

} // namespace qmx::recording
