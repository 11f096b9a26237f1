#include "ui/widgets/LoadGauge.h"

#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace qmx::ui {

LoadGauge::LoadGauge(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void LoadGauge::setMaximum(int maximum)
{
    maximum = std::max(1, maximum);
    if (maximum == m_maximum) {
        return;
    }
    m_maximum = maximum;
    m_position = std::clamp(m_position, 0, m_maximum);
    update();
}

int LoadGauge::maximum() const
{
    return m_maximum;
}

void LoadGauge::setPosition(int position)
{
    position = std::clamp(position, 0, m_maximum);
    if (position == m_position) {
        return;
    }
    m_position = position;
    // Only the bar area can change; the frame stays as it is.
    update(innerRect());
}

int LoadGauge::position() const
{
    return m_position;
}

void LoadGauge::setBarColor(const QColor& color)
{
    if (color == m_barColor) {
        return;
    }
    m_barColor = color;
    update(innerRect());
}

QColor LoadGauge::barColor() const
{
    return m_barColor;
}

QRect LoadGauge::innerRect() const
{
    return rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
}

QRect LoadGauge::barRect() const
{
    const QRect inner = innerRect();
    // 64-bit product: a wide gauge times a large maximum must not overflow.
    const auto width = static_cast<int>((static_cast<long long>(inner.width()) * m_position * 2 + m_maximum)
                                        / (2LL * m_maximum));
    return {inner.left(), inner.top(), std::max(0, width), inner.height()};
}

QSize LoadGauge::sizeHint() const
{
    return {150, 17};
}

QSize LoadGauge::minimumSizeHint() const
{
    return {2 * kFrameWidth + 4, 2 * kFrameWidth + 4};
}

void LoadGauge::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), true, kFrameWidth);
    const QRect inner = innerRect();
    const QRect bar = barRect();
    if (bar.width() > 0) {
        painter.fillRect(bar, m_barColor);
    }
    if (bar.width() < inner.width()) {
        painter.fillRect(QRect(bar.right() + 1, inner.top(), inner.width() - bar.width(), inner.height()),
                         Qt::white);
    }
}

} // namespace qmx::ui
