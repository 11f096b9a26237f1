#include "ChartCursors.h"

#include "recording/chart/ChartPlot.h"
#include "recording/review/ReviewStatistics.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace qmx::ui {

namespace {

const std::array<QColor, ChartCursors::kCursorCount> kCursorColors{QColor(40, 40, 200), QColor(160, 0, 160)};

} // namespace

ChartCursors::ChartCursors(recording::ChartPlot& plot, QObject* parent) : QObject(parent), m_plot(plot)
{
    for (int i = 0; i < kCursorCount; ++i) {
        auto* line = new QCPItemStraightLine(&m_plot);
        QPen pen(kCursorColors[static_cast<std::size_t>(i)], 1.5, Qt::DashLine);
        line->setPen(pen);
        line->setSelectable(false);
        line->setClipToAxisRect(true);
        line->setVisible(false);
        m_lines[static_cast<std::size_t>(i)] = line;
    }
    m_plot.setFocusPolicy(Qt::StrongFocus);
    m_plot.installEventFilter(this);
}

void ChartCursors::setShown(bool shown)
{
    if (shown == m_shown) {
        return;
    }
    m_shown = shown;
    if (shown) {
        const QCPRange range = m_plot.xAxis->range();
        place(0, snapped(range.lower + range.size() / 3.0));
        place(1, snapped(range.lower + range.size() * 2.0 / 3.0));
    }
    for (QCPItemStraightLine* line : m_lines) {
        line->setVisible(shown);
    }
    m_plot.replot(QCustomPlot::rpQueuedReplot);
    emit cursorsChanged();
}

void ChartCursors::setPosition(int index, double x)
{
    place(index, snapped(x));
    m_plot.replot(QCustomPlot::rpQueuedReplot);
    emit cursorsChanged();
}

double ChartCursors::snapped(double x) const
{
    const recording::CursorReading reading = recording::cursorReadingAt(m_plot.chartData(), x);
    return reading.valid ? reading.x : x;
}

void ChartCursors::place(int index, double x)
{
    m_positions[static_cast<std::size_t>(index)] = x;
    QCPItemStraightLine* line = m_lines[static_cast<std::size_t>(index)];
    line->point1->setCoords(x, 0.0);
    line->point2->setCoords(x, 1.0);
}

void ChartCursors::step(int direction)
{
    if (!m_shown) {
        return;
    }
    const double now = position(m_active);
    const double pixel = m_plot.xAxis->coordToPixel(now) + direction;
    double next = snapped(m_plot.xAxis->pixelToCoord(pixel));
    const recording::ChartData& data = m_plot.chartData();
    if (next == now && !data.empty()) {
        // Samples lie further apart than a pixel: go to the neighbouring sample.
        const std::size_t row = recording::cursorReadingAt(data, now).row;
        if (direction > 0 && row + 1 < data.size()) {
            next = data.x(row + 1);
        } else if (direction < 0 && row > 0) {
            next = data.x(row - 1);
        }
    }
    place(m_active, next);
    m_plot.replot(QCustomPlot::rpQueuedReplot);
    emit cursorsChanged();
}

void ChartCursors::zoomAround(double pixel, double factor, bool valueAxis)
{
    if (!(factor > 0.0)) {
        return;
    }
    QCPAxis* axis = valueAxis ? m_plot.yAxis : m_plot.xAxis;
    const double centre = axis->pixelToCoord(pixel);
    const QCPRange range = axis->range();
    axis->setRange(centre + (range.lower - centre) * factor, centre + (range.upper - centre) * factor);
    m_plot.replot(QCustomPlot::rpQueuedReplot);
}

bool ChartCursors::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_plot) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return onPress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return onMove(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        return onRelease(static_cast<QMouseEvent*>(event));
    case QEvent::KeyPress:
        return onKey(static_cast<QKeyEvent*>(event));
    case QEvent::Wheel:
        return onWheel(static_cast<QWheelEvent*>(event));
    default:
        return QObject::eventFilter(watched, event);
    }
}

bool ChartCursors::onPress(QMouseEvent* event)
{
    if (!m_shown || event->button() != Qt::LeftButton) {
        return false;
    }
    const QPointF pos = event->position();
    if (!m_plot.axisRect()->rect().contains(pos.toPoint())) {
        return false;
    }
    // The nearer of the two cursors within reach is grabbed; a press elsewhere zooms as before.
    std::optional<int> nearest;
    double nearestDistance = kGrabPixels + 0.5;
    for (int i = 0; i < kCursorCount; ++i) {
        const double distance = std::abs(m_plot.xAxis->coordToPixel(position(i)) - pos.x());
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = i;
        }
    }
    if (!nearest) {
        return false;
    }
    m_dragged = nearest;
    m_active = *nearest;
    m_plot.setFocus(Qt::MouseFocusReason);
    return true;
}

bool ChartCursors::onMove(QMouseEvent* event)
{
    if (!m_dragged) {
        return false;
    }
    const QRect area = m_plot.axisRect()->rect();
    const double pixel = std::clamp(event->position().x(), double(area.left()), double(area.right()));
    setPosition(*m_dragged, m_plot.xAxis->pixelToCoord(pixel));
    return true;
}

bool ChartCursors::onRelease(QMouseEvent* event)
{
    if (!m_dragged || event->button() != Qt::LeftButton) {
        return false;
    }
    m_dragged.reset();
    return true;
}

bool ChartCursors::onKey(QKeyEvent* event)
{
    if (!m_shown) {
        return false;
    }
    const int stepCount = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        for (int i = 0; i < stepCount; ++i) {
            step(event->key() == Qt::Key_Right ? 1 : -1);
        }
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Up and down choose which cursor the arrows move.
        m_active = event->key() == Qt::Key_Up ? 0 : 1;
        return true;
    default:
        return false;
    }
}

bool ChartCursors::onWheel(QWheelEvent* event)
{
    const QPointF pos = event->position();
    if (!m_plot.axisRect()->rect().contains(pos.toPoint()) || event->angleDelta().y() == 0) {
        return false;
    }
    const double notches = event->angleDelta().y() / 120.0;
    const bool valueAxis = (event->modifiers() & Qt::ControlModifier) != 0;
    zoomAround(valueAxis ? pos.y() : pos.x(), std::pow(kWheelZoomStep, notches), valueAxis);
    return true;
}

} // namespace qmx::ui
