#include "ChartSeriesPlottable.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qmx::recording {

namespace {

// Pixel coordinates are kept this far around the plot at most: a value far off the axis range
// would otherwise give coordinates the rasteriser cannot handle; the clipped part looks the same.
constexpr double kPixelLimit = 1.0e6;

// Above this many rows near the pointer, the hit test uses the min/max summary instead of the
// segments.
constexpr std::size_t kExactHitRows = 4096;

// A dense column whose predecessor lies at most this many pixels to the left absorbs the joint.
constexpr double kAdjacentColumn = 1.5;

bool finite(float v) { return std::isfinite(v); }

double pointToSegmentDistance(const QPointF& p, const QPointF& a, const QPointF& b)
{
    const QPointF ab = b - a;
    const double len2 = QPointF::dotProduct(ab, ab);
    double t = len2 > 0.0 ? QPointF::dotProduct(p - a, ab) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

} // namespace

ChartSeriesPlottable::ChartSeriesPlottable(QCPAxis* keyAxis, QCPAxis* valueAxis, const ChartData& data, int series)
    : QCPAbstractPlottable(keyAxis, valueAxis), m_data(&data), m_series(series)
{
    setAntialiased(false);
    setSelectable(QCP::stNone);
}

double ChartSeriesPlottable::valuePixel(float value) const
{
    return std::clamp(mValueAxis->coordToPixel(static_cast<double>(value)), -kPixelLimit, kPixelLimit);
}

std::pair<std::size_t, std::size_t> ChartSeriesPlottable::visibleRows() const
{
    const QCPRange range = mKeyAxis->range();
    std::size_t first = m_data->lowerBound(range.lower);
    std::size_t last = m_data->upperBound(range.upper);
    if (first > 0) {
        --first;
    }
    if (last < m_data->size()) {
        ++last;
    }
    return {first, std::max(first, last)};
}

void ChartSeriesPlottable::buildSegments(QVector<QLineF>& out) const
{
    if (!mKeyAxis || !mValueAxis || m_data->empty()) {
        return;
    }
    QCPAxis* keyAxis = mKeyAxis.data();
    const auto [first, last] = visibleRows();
    const bool reversed = keyAxis->rangeReversed();

    QPointF prev;
    bool prevValid = false;
    std::size_t row = first;
    while (row < last) {
        const double px = std::clamp(keyAxis->coordToPixel(static_cast<double>(m_data->x(row))), -kPixelLimit, kPixelLimit);
        const double column = std::floor(px);
        // Rows whose pixel falls in the same column end where the next column begins.
        std::size_t end = reversed ? m_data->upperBound(keyAxis->pixelToCoord(column))
                                   : m_data->lowerBound(keyAxis->pixelToCoord(column + 1.0));
        end = std::clamp(end, row + 1, last);

        if (end - row == 1) {
            const float v = m_data->y(m_series, row);
            if (!finite(v)) {
                prevValid = false;
            } else {
                const QPointF point(px, valuePixel(v));
                // A point with no predecessor gets a dot of its own; a following joint covers it.
                out.append(prevValid ? QLineF(prev, point) : QLineF(point, point));
                prev = point;
                prevValid = true;
            }
        } else {
            const ValueSpan span = m_data->span(m_series, row, end);
            if (span.empty()) {
                prevValid = false;
            } else {
                const double cx = column + 0.5;
                double top = std::min(valuePixel(span.min), valuePixel(span.max));
                double bottom = std::max(valuePixel(span.min), valuePixel(span.max));
                const float firstValue = m_data->y(m_series, row);
                if (prevValid && finite(firstValue)) {
                    if (std::abs(cx - prev.x()) <= kAdjacentColumn) {
                        // The joint from the neighbouring column is as good as vertical: the bar
                        // takes it in instead of a separate stroke.
                        top = std::min(top, prev.y());
                        bottom = std::max(bottom, prev.y());
                    } else {
                        out.append(QLineF(prev, QPointF(cx, valuePixel(firstValue))));
                    }
                }
                out.append(QLineF(cx, top, cx, bottom));
                const float lastValue = m_data->y(m_series, end - 1);
                prevValid = finite(lastValue);
                if (prevValid) {
                    prev = QPointF(cx, valuePixel(lastValue));
                }
            }
        }
        row = end;
    }
}

void ChartSeriesPlottable::draw(QCPPainter* painter)
{
    m_segments.clear();
    buildSegments(m_segments);
    if (m_segments.isEmpty()) {
        return;
    }
    // Vertical strokes are filled as rectangles of the pen's width (a square-capped vertical line
    // covers exactly that), which the raster engine fills far faster than it strokes wide lines.
    const double width = mPen.widthF() > 0.0 ? mPen.widthF() : 1.0;
    m_bars.clear();
    m_joints.clear();
    for (const QLineF& segment : std::as_const(m_segments)) {
        if (segment.x1() == segment.x2()) {
            const double top = std::min(segment.y1(), segment.y2());
            m_bars.append(QRectF(segment.x1() - width / 2, top - width / 2, width,
                                 std::abs(segment.y2() - segment.y1()) + width));
        } else {
            m_joints.append(segment);
        }
    }
    applyDefaultAntialiasingHint(painter);
    if (!m_bars.isEmpty()) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(mPen.color());
        painter->drawRects(m_bars);
    }
    if (!m_joints.isEmpty()) {
        painter->setPen(mPen);
        painter->setBrush(Qt::NoBrush);
        painter->drawLines(m_joints);
    }
}

void ChartSeriesPlottable::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const
{
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

double ChartSeriesPlottable::selectTest(const QPointF& pos, bool onlySelectable, QVariant* details) const
{
    Q_UNUSED(details)
    if ((onlySelectable && mSelectable == QCP::stNone) || !mKeyAxis || !mValueAxis || m_data->empty()) {
        return -1;
    }
    QCPAxis* keyAxis = mKeyAxis.data();
    if (!keyAxis->axisRect()->rect().contains(pos.toPoint())) {
        return -1;
    }
    const double tolerance = mParentPlot->selectionTolerance();
    const double k0 = keyAxis->pixelToCoord(pos.x() - tolerance);
    const double k1 = keyAxis->pixelToCoord(pos.x() + tolerance);
    std::size_t first = m_data->lowerBound(std::min(k0, k1));
    std::size_t last = std::min(m_data->size(), m_data->upperBound(std::max(k0, k1)) + 1);
    if (first > 0) {
        --first;
    }
    if (first >= last) {
        return -1;
    }
    double best = std::numeric_limits<double>::max();
    if (last - first > kExactHitRows) {
        // Many rows under the pointer draw a solid vertical band from their minimum to maximum.
        const ValueSpan span = m_data->span(m_series, first, last);
        if (span.empty()) {
            return -1;
        }
        const double top = std::min(valuePixel(span.min), valuePixel(span.max));
        const double bottom = std::max(valuePixel(span.min), valuePixel(span.max));
        best = pos.y() < top ? top - pos.y() : (pos.y() > bottom ? pos.y() - bottom : 0.0);
    } else {
        QPointF prev;
        bool prevValid = false;
        for (std::size_t row = first; row < last; ++row) {
            const float v = m_data->y(m_series, row);
            if (!finite(v)) {
                prevValid = false;
                continue;
            }
            const QPointF point(keyAxis->coordToPixel(static_cast<double>(m_data->x(row))), valuePixel(v));
            best = std::min(best, prevValid ? pointToSegmentDistance(pos, prev, point)
                                            : pointToSegmentDistance(pos, point, point));
            prev = point;
            prevValid = true;
        }
    }
    return best == std::numeric_limits<double>::max() ? -1 : best;
}

QCPRange ChartSeriesPlottable::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    std::size_t first = 0;
    std::size_t last = m_data->size();
    if (inSignDomain == QCP::sdPositive) {
        first = m_data->upperBound(0.0);
    } else if (inSignDomain == QCP::sdNegative) {
        last = m_data->lowerBound(0.0);
    }
    foundRange = first < last;
    if (!foundRange) {
        return {};
    }
    return {static_cast<double>(m_data->x(first)), static_cast<double>(m_data->x(last - 1))};
}

QCPRange ChartSeriesPlottable::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                                             const QCPRange& inKeyRange) const
{
    std::size_t first = 0;
    std::size_t last = m_data->size();
    if (inKeyRange != QCPRange()) {
        first = m_data->lowerBound(inKeyRange.lower);
        last = m_data->upperBound(inKeyRange.upper);
    }
    ValueSpan span;
    if (inSignDomain == QCP::sdBoth) {
        span = first < last ? m_data->span(m_series, first, last) : ValueSpan{};
    } else {
        // Only logarithmic axes ask for one sign; the chart has none, so a plain scan will do.
        for (std::size_t row = first; row < last; ++row) {
            const float v = m_data->y(m_series, row);
            if ((inSignDomain == QCP::sdPositive && v > 0.0F) || (inSignDomain == QCP::sdNegative && v < 0.0F)) {
                span.add(v);
            }
        }
    }
    foundRange = !span.empty();
    if (!foundRange) {
        return {};
    }
    return {static_cast<double>(span.min), static_cast<double>(span.max)};
}

} // namespace qmx::recording
