#pragma once
// One chart line drawn straight from the chart's sample store: per pixel column the min/max of the
// rows that fall in it (from the store's block summaries), so a redraw costs what the pixels cost.

#include "ChartData.h"

#include <QColor>
#include <QLineF>
#include <QRectF>
#include <QVector>
#include <qcustomplot.h>

namespace qmx::recording {

/// A line series of the chart over one value column of a ChartData. The key axis must be the
/// horizontal one. Drawn without antialiasing as separate pieces: each pixel column holding several
/// rows gets a vertical bar of the pen's width from their minimum to their maximum (taking in the
/// joint from an adjacent column, or with a separate joint from a distant one); where rows are
/// pixels apart, the segments between consecutive rows are stroked. A wide pen is cheap on
/// separate pieces but very costly on one long zigzag polyline. Non-finite values leave a gap.
/// The store must outlive the plottable.
class ChartSeriesPlottable : public QCPAbstractPlottable {
    Q_OBJECT
public:
    /// Registers itself with the axes' plot (as every QCustomPlot plottable does).
    ChartSeriesPlottable(QCPAxis* keyAxis, QCPAxis* valueAxis, const ChartData& data, int series);

    /// Draws from `data` from now on (the store must outlive the plottable or the next call).
    void setChartData(const ChartData& data) { m_data = &data; }
    /// Index of the value column drawn (0..4).
    int series() const { return m_series; }
    /// The series title (distinct from name(), which is the legend text).
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    /// Segments a redraw with the current axis ranges draws, in pixels (appends to `out`).
    void buildSegments(QVector<QLineF>& out) const;

    /// Draws the legend icon (a short line in the pen) into `rect`; public for the check box
    /// legend item.
    void paintLegendIcon(QCPPainter* painter, const QRectF& rect) const { drawLegendIcon(painter, rect); }

    double selectTest(const QPointF& pos, bool onlySelectable, QVariant* details = nullptr) const override;
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    /// Rows [first, last) that reach into the visible key range, one row beyond each side so the
    /// lines leaving the view are drawn.
    std::pair<std::size_t, std::size_t> visibleRows() const;
    double valuePixel(float value) const;

    const ChartData* m_data;
    int m_series;
    QString m_title;
    // Reused between redraws.
    QVector<QLineF> m_segments;
    QVector<QRectF> m_bars;
    QVector<QLineF> m_joints;
};

} // namespace qmx::recording
