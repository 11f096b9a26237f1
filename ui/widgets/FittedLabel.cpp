#include "FittedLabel.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

namespace qmx::ui {

namespace {
// QLabel keeps a little room between the frame and the text.
constexpr int kSideRoom = 4;
constexpr int kSmallestPixels = 6;

bool fits(const QFont& font, const QString& text, int width, int height)
{
    const QFontMetrics metrics(font);
    // The advance may leave the last glyph's overhang out; the bounding rectangle catches it.
    const int needed = std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).width());
    return needed <= width && (height <= 0 || metrics.height() <= height);
}
} // namespace

FittedLabel::FittedLabel(const QString& text, QWidget* parent) : QLabel(text, parent), m_designFont(font()) {}

void FittedLabel::setDesignFont(const QFont& font)
{
    m_designFont = font;
    updateGeometry();
    refit();
}

void FittedLabel::setFitHeight(bool fit)
{
    m_fitHeight = fit;
    refit();
}

void FittedLabel::setGrowBeyondHeight(int designHeight)
{
    m_growBeyondHeight = std::max(0, designHeight);
    refit();
}

QFont FittedLabel::grownFont() const
{
    const int height = contentsRect().height();
    if (m_growBeyondHeight <= 0 || height <= m_growBeyondHeight) {
        return m_designFont;
    }
    QFont grown = m_designFont;
    const int designPixels = QFontInfo(m_designFont).pixelSize();
    grown.setPixelSize(static_cast<int>(static_cast<long long>(designPixels) * height / m_growBeyondHeight));
    return grown;
}

void FittedLabel::setFittedText(const QString& text)
{
    if (text != this->text()) {
        setText(text);
        refit();
    }
}

QFont FittedLabel::fittedFont(const QFont& design, const QString& text, int width, int height)
{
    if (text.isEmpty() || fits(design, text, width, height)) {
        return design;
    }
    const QFontMetrics metrics(design);
    const int designPixels = QFontInfo(design).pixelSize();
    const double byWidth = static_cast<double>(width) / std::max(1, metrics.horizontalAdvance(text));
    const double byHeight = height > 0 ? static_cast<double>(height) / std::max(1, metrics.height()) : 1.0;
    int pixels = std::max(kSmallestPixels, static_cast<int>(designPixels * std::min(byWidth, byHeight)));
    QFont font = design;
    font.setPixelSize(pixels);
    // Glyph widths do not scale exactly with the size: step down until the text fits, then up
    // while a larger size still fits.
    while (pixels > kSmallestPixels && !fits(font, text, width, height)) {
        font.setPixelSize(--pixels);
    }
    QFont larger = font;
    while (pixels + 1 < designPixels) {
        larger.setPixelSize(pixels + 1);
        if (!fits(larger, text, width, height)) {
            break;
        }
        font = larger;
        ++pixels;
    }
    return font;
}

QSize FittedLabel::sizeHint() const
{
    const QFontMetrics metrics(m_designFont);
    const int frame = 2 * (frameWidth() + margin());
    return {metrics.horizontalAdvance(text()) + kSideRoom + frame, metrics.height() + frame};
}

QSize FittedLabel::minimumSizeHint() const
{
    // Any width will do (the text is drawn smaller); the height stays that of the designed font.
    const int frame = 2 * (frameWidth() + margin());
    return {kSideRoom + frame, QFontMetrics(m_designFont).height() + frame};
}

void FittedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    refit();
}

void FittedLabel::refit()
{
    const QRect room = contentsRect();
    const QFont largest = grownFont();
    QFont wanted = largest;
    if (room.width() > kSideRoom) {
        wanted = fittedFont(largest, text(), room.width() - kSideRoom, m_fitHeight ? room.height() : 0);
    }
    if (wanted != font()) {
        setFont(wanted);
    }
}

} // namespace qmx::ui
