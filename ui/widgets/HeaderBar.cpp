#include "ui/widgets/HeaderBar.h"
#include "Fonts.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace qmx::ui {

HeaderBar::HeaderBar(QWidget* parent) : HeaderBar(QString(), kSmallCaption, parent) {}

HeaderBar::HeaderBar(const QString& caption, int captionPixelHeight, QWidget* parent)
    : QWidget(parent), m_caption(caption), m_captionPixelHeight(std::max(1, captionPixelHeight))
{
    // Every pixel is painted by paintEvent, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void HeaderBar::setCaption(const QString& caption)
{
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    updateGeometry();
    update();
}

QString HeaderBar::caption() const
{
    return m_caption;
}

void HeaderBar::setCaptionPixelHeight(int pixels)
{
    pixels = std::max(1, pixels);
    if (pixels == m_captionPixelHeight) {
        return;
    }
    m_captionPixelHeight = pixels;
    updateGeometry();
    update();
}

int HeaderBar::captionPixelHeight() const
{
    return m_captionPixelHeight;
}

void HeaderBar::setGradient(const QColor& start, std::optional<QColor> end)
{
    if (start == m_start && end == m_end) {
        return;
    }
    m_start = start;
    m_end = end;
    update();
}

QColor HeaderBar::gradientStart() const
{
    return m_start;
}

std::optional<QColor> HeaderBar::gradientEnd() const
{
    return m_end;
}

QColor HeaderBar::bandColor(const QColor& start, const std::optional<QColor>& end, int band,
                             int bandCount)
{
    if (!end || bandCount < 2) {
        return start;
    }
    band = std::clamp(band, 0, bandCount - 1);
    const auto mix = [band, bandCount](int from, int to) {
        return qRound(from + (to - from) * static_cast<double>(band) / (bandCount - 1));
    };
    return QColor(mix(start.red(), end->red()), mix(start.green(), end->green()),
                  mix(start.blue(), end->blue()));
}

QFont HeaderBar::captionFont() const
{
    return namedFont(NamedFont::Arial, m_captionPixelHeight, true);
}

QSize HeaderBar::sizeHint() const
{
    const QFontMetrics metrics(captionFont());
    return {metrics.horizontalAdvance(m_caption) + 16, m_captionPixelHeight + 8};
}

QSize HeaderBar::minimumSizeHint() const
{
    return {16, m_captionPixelHeight + 8};
}

void HeaderBar::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QRect area = rect();
    if (!m_end) {
        painter.fillRect(area, m_start);
    } else {
        // Flat bands rather than a smooth gradient: 32 rectangle fills are cheap, and headers are
        // repainted whenever an indicator header changes state.
        const int bands = std::min(kBandCount, area.height());
        for (int band = 0; band < bands; ++band) {
            const int top = area.top() + area.height() * band / bands;
            const int bottom = area.top() + area.height() * (band + 1) / bands;
            painter.fillRect(QRect(area.left(), top, area.width(), bottom - top),
                             bandColor(m_start, m_end, band, bands));
        }
    }
    painter.setFont(captionFont());
    painter.setPen(Qt::white);
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, m_caption);
}

} // namespace qmx::ui
