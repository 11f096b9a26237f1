#include "ChartPlot.h"

#include "ChartRules.h"

#include <QMouseEvent>
#include <QPrinter>
#include <QRubberBand>

#include <algorithm>
#include <cstdlib>

namespace qmx::recording {

const std::array<ChartSeriesStyle, kChartSeriesCount> kChartSeriesStyles{{
    {"Series1", "Sensor1", "Czujnik 1", qRgb(231, 112, 24)},
    {"Series2", "Sensor2", "Czujnik 2", qRgb(12, 175, 24)},
    // Series 3 has two colours on record (a series colour and RGB(0,128,0) for the line); the line is
    // drawn in the series colour so that the legend and the curve agree.
    {"Series3", "Sensor3", "Czujnik 3", qRgb(4, 187, 187)},
    {"Series4", "Sensor4", "Czujnik 4", qRgb(210, 0, 0)},
    {"Series5", "Suma", "Suma", qRgb(0, 0, 0)},
}};

namespace {

// A drag shorter than this many pixels in both directions is a click, not a zoom.
constexpr int kMinimumDragPixels = 3;

// Printing margins in percent of the page: left, top, right, bottom.
constexpr double kPrintMarginLeft = 0.10;
constexpr double kPrintMarginTop = 0.15;
constexpr double kPrintMarginRight = 0.10;
constexpr double kPrintMarginBottom = 0.15;

// Plot size used when the widget has never been laid out (printing or saving a hidden page).
constexpr int kFallbackWidth = 1000;
constexpr int kFallbackHeight = 500;

/// Time axis labels: up to five decimals, no trailing zeros.
class TimeAxisTicker : public QCPAxisTicker {
public:
    display::NumberLocale locale = display::NumberLocale::system();

protected:
    QString getTickLabel(double tick, const QLocale& qlocale, QChar formatChar, int precision) override
    {
        Q_UNUSED(qlocale)
        Q_UNUSED(formatChar)
        Q_UNUSED(precision)
        return timeAxisLabel(tick, locale);
    }
};

/// Legend entry with a check box before the line sample: ticked while the series is shown.
class CheckLegendItem : public QCPPlottableLegendItem {
public:
    static constexpr int kBoxSize = 11;
    static constexpr int kBoxPadding = 4;

    CheckLegendItem(QCPLegend* legend, ChartSeriesPlottable* series)
        : QCPPlottableLegendItem(legend, series), m_series(series)
    {
    }

    ChartSeriesPlottable* series() const { return m_series; }

protected:
    void draw(QCPPainter* painter) override
    {
        const QSize iconSize = mParentLegend->iconSize();
        painter->setFont(getFont());
        const QRect textRect = painter->fontMetrics().boundingRect(0, 0, 0, iconSize.height(), Qt::TextDontClip,
                                                                   m_series->name());
        const int height = std::max({textRect.height(), iconSize.height(), kBoxSize});
        const int left = mRect.x() + mMargins.left();
        const int top = mRect.y() + mMargins.top();

        const QRect box(left, top + (height - kBoxSize) / 2, kBoxSize, kBoxSize);
        painter->setAntialiasing(false);
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(Qt::white);
        painter->drawRect(box);
        if (m_series->visible()) {
            painter->setPen(QPen(Qt::black, 2));
            painter->drawLine(QPointF(box.left() + 2.5, box.center().y() + 0.5),
                              QPointF(box.left() + 4.5, box.bottom() - 2.0));
            painter->drawLine(QPointF(box.left() + 4.5, box.bottom() - 2.0),
                              QPointF(box.right() - 2.0, box.top() + 2.5));
        }
        painter->setBrush(Qt::NoBrush);

        const QRect iconRect(box.right() + 1 + kBoxPadding, top + (height - iconSize.height()) / 2, iconSize.width(),
                             iconSize.height());
        painter->save();
        painter->setClipRect(iconRect, Qt::IntersectClip);
        m_series->paintLegendIcon(painter, iconRect);
        painter->restore();

        painter->setPen(QPen(getTextColor()));
        painter->drawText(iconRect.right() + 1 + mParentLegend->iconTextPadding(), top + (height - textRect.height()) / 2,
                          textRect.width(), textRect.height(), Qt::TextDontClip, m_series->name());
    }

    QSize minimumOuterSizeHint() const override
    {
        const QSize base = QCPPlottableLegendItem::minimumOuterSizeHint();
        return {base.width() + kBoxSize + kBoxPadding, std::max(base.height(), kBoxSize + mMargins.top() + mMargins.bottom())};
    }

private:
    ChartSeriesPlottable* m_series;
};

} // namespace

ChartPlot::ChartPlot(QWidget* parent) : QCustomPlot(parent)
{
    setObjectName(QStringLiteral("Chart1"));
    setAutoAddPlottableToLegend(false);
    setInteractions(QCP::iNone);
    setNotAntialiasedElements(QCP::aePlottables);

    xAxis->setLabel(QStringLiteral("Czas [s]"));
    yAxis->setLabel(QStringLiteral("Wartosc pomiaru"));
    m_timeTicker = QSharedPointer<QCPAxisTicker>(new TimeAxisTicker);
    xAxis->setTicker(m_timeTicker);
    xAxis2->setVisible(false);
    yAxis2->setVisible(false);
    xAxis->setRange(m_programBottom.lower, m_programBottom.upper);
    yAxis->setRange(m_programLeft.lower, m_programLeft.upper);

    // The legend gets a row of its own below the plot, entries side by side.
    auto* legendRow = new QCPLayoutGrid;
    plotLayout()->addElement(1, 0, legendRow);
    legendRow->setMargins(QMargins(5, 0, 5, 5));
    legendRow->addElement(0, 0, legend);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setVisible(true);
    plotLayout()->setRowStretchFactor(1, 0.001);

    for (int i = 0; i < kChartSeriesCount; ++i) {
        const ChartSeriesStyle& style = kChartSeriesStyles[static_cast<std::size_t>(i)];
        auto* series = new ChartSeriesPlottable(xAxis, yAxis, m_data, i);
        series->setObjectName(QString::fromLatin1(style.objectName));
        series->setTitle(QString::fromLatin1(style.title));
        series->setName(QString::fromUtf8(style.legendText));
        QPen pen{QColor(style.color), static_cast<qreal>(kChartPenWidth)};
        pen.setCapStyle(Qt::SquareCap);
        series->setPen(pen);
        legend->addItem(new CheckLegendItem(legend, series));
        m_series[static_cast<std::size_t>(i)] = series;
    }

    m_rubberBand = new QRubberBand(QRubberBand::Rectangle, this);
    m_rubberBand->hide();

    m_redrawTimer.setSingleShot(true);
    m_redrawTimer.setInterval(kChartRedrawIntervalMs);
    connect(&m_redrawTimer, &QTimer::timeout, this, &ChartPlot::redrawNow);
    connect(this, &QCustomPlot::legendClick, this, &ChartPlot::onLegendClick);
}

ChartPlot::~ChartPlot()
{
    // The plottables draw from m_data; remove them while it still exists.
    clearPlottables();
}

ChartSeriesPlottable* ChartPlot::chartSeries(int index) const
{
    if (index < 0 || index >= kChartSeriesCount) {
        return nullptr;
    }
    return m_series[static_cast<std::size_t>(index)];
}

void ChartPlot::appendSample(double x, const ChartValues& values)
{
    m_data.append(x, values);
    scheduleReplot();
}

void ChartPlot::showStore(const ChartData* store)
{
    m_shown = store;
    for (ChartSeriesPlottable* series : m_series) {
        series->setChartData(chartData());
    }
    scheduleReplot();
}

void ChartPlot::clearSamples()
{
    m_data.clear();
    scheduleReplot();
}

void ChartPlot::setSeriesActive(int index, bool active)
{
    if (auto* series = chartSeries(index); series && series->visible() != active) {
        series->setVisible(active);
        scheduleReplot();
    }
}

bool ChartPlot::seriesActive(int index) const
{
    const auto* series = chartSeries(index);
    return series && series->visible();
}

void ChartPlot::setBottomRange(const AxisRange& range)
{
    m_programBottom = range;
    xAxis->setRange(range.lower, range.upper);
    scheduleReplot();
}

void ChartPlot::setLeftRange(const AxisRange& range)
{
    m_programLeft = range;
    yAxis->setRange(range.lower, range.upper);
    scheduleReplot();
}

AxisRange ChartPlot::bottomRange() const
{
    return {xAxis->range().lower, xAxis->range().upper};
}

AxisRange ChartPlot::leftRange() const
{
    return {yAxis->range().lower, yAxis->range().upper};
}

void ChartPlot::zoomToPixelRect(const QRect& rect)
{
    xAxis->setRange(xAxis->pixelToCoord(rect.left()), xAxis->pixelToCoord(rect.right()));
    yAxis->setRange(yAxis->pixelToCoord(rect.bottom()), yAxis->pixelToCoord(rect.top()));
    replot();
}

void ChartPlot::zoomOut()
{
    xAxis->setRange(m_programBottom.lower, m_programBottom.upper);
    yAxis->setRange(m_programLeft.lower, m_programLeft.upper);
    replot();
}

void ChartPlot::panByPixels(int pixels)
{
    const double shift = xAxis->pixelToCoord(0.0) - xAxis->pixelToCoord(static_cast<double>(pixels));
    xAxis->moveRange(shift);
    replot();
}

void ChartPlot::setNumberLocale(const display::NumberLocale& locale)
{
    static_cast<TimeAxisTicker*>(m_timeTicker.data())->locale = locale;
    scheduleReplot();
}

bool ChartPlot::printChart(QPrinter& printer)
{
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRect area = painter.viewport();
    const QRectF target(area.x() + area.width() * kPrintMarginLeft, area.y() + area.height() * kPrintMarginTop,
                        area.width() * (1.0 - kPrintMarginLeft - kPrintMarginRight),
                        area.height() * (1.0 - kPrintMarginTop - kPrintMarginBottom));
    const int plotWidth = width() > 1 ? width() : kFallbackWidth;
    const int plotHeight = height() > 1 ? height() : kFallbackHeight;
    // Not proportional: the chart is laid out at its screen size and stretched over the target.
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.translate(target.topLeft());
    painter.scale(target.width() / plotWidth, target.height() / plotHeight);
    toPainter(&painter, plotWidth, plotHeight);
    return painter.end();
}

bool ChartPlot::saveBitmap(const QString& fileName)
{
    const int w = width() > 1 ? 0 : kFallbackWidth;
    const int h = height() > 1 ? 0 : kFallbackHeight;
    return saveBmp(fileName, w, h);
}

void ChartPlot::scheduleReplot()
{
    m_redrawPending = true;
    if (!m_redrawTimer.isActive()) {
        m_redrawTimer.start();
    }
}

void ChartPlot::redrawNow()
{
    // A hidden chart is redrawn when it is shown again.
    if (m_redrawPending && isVisible()) {
        m_redrawPending = false;
        replot();
    }
}

void ChartPlot::showEvent(QShowEvent* event)
{
    QCustomPlot::showEvent(event);
    if (m_redrawPending) {
        m_redrawTimer.start(0);
    }
}

void ChartPlot::mousePressEvent(QMouseEvent* event)
{
    QCustomPlot::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    if (m_drag != Drag::None || !axisRect()->rect().contains(pos)) {
        return;
    }
    m_dragStart = pos;
    if (event->button() == Qt::LeftButton) {
        m_drag = Drag::Zoom;
        m_rubberBand->setGeometry(QRect(pos, QSize()));
        m_rubberBand->show();
    } else if (event->button() == Qt::RightButton) {
        m_drag = Drag::Pan;
        m_panStartRange = xAxis->range();
    }
}

void ChartPlot::mouseMoveEvent(QMouseEvent* event)
{
    QCustomPlot::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    if (m_drag == Drag::Zoom) {
        m_rubberBand->setGeometry(QRect(m_dragStart, pos).normalized());
    } else if (m_drag == Drag::Pan) {
        const double shift = xAxis->pixelToCoord(m_dragStart.x()) - xAxis->pixelToCoord(pos.x());
        xAxis->setRange(m_panStartRange.lower + shift, m_panStartRange.upper + shift);
        replot(rpQueuedReplot);
    }
}

void ChartPlot::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const Drag drag = m_drag;
    const bool zoomButton = drag == Drag::Zoom && event->button() == Qt::LeftButton;
    const bool panButton = drag == Drag::Pan && event->button() == Qt::RightButton;
    if (zoomButton || panButton) {
        m_drag = Drag::None;
        m_rubberBand->hide();
    }
    if (zoomButton) {
        const QPoint delta = pos - m_dragStart;
        if (std::abs(delta.x()) >= kMinimumDragPixels || std::abs(delta.y()) >= kMinimumDragPixels) {
            if (delta.x() > 0 && delta.y() > 0) {
                zoomToPixelRect(QRect(m_dragStart, pos).normalized());
            } else {
                zoomOut();
            }
        }
    }
    QCustomPlot::mouseReleaseEvent(event);
}

void ChartPlot::onLegendClick(QCPLegend* legendArg, QCPAbstractLegendItem* item, QMouseEvent* event)
{
    Q_UNUSED(legendArg)
    if (event && event->button() != Qt::LeftButton) {
        return;
    }
    auto* entry = dynamic_cast<CheckLegendItem*>(item);
    if (!entry) {
        return;
    }
    const int index = entry->series()->series();
    const bool active = !seriesActive(index);
    setSeriesActive(index, active);
    replot();
    emit seriesActiveToggled(index, active);
}

} // namespace qmx::recording
