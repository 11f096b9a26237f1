#pragma once
// Header bar above a group of controls: a centred white bold caption on a banded vertical gradient.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <optional>

namespace qmx::ui {

/// A bar with a centred caption in white bold Arial, filled with a vertical gradient of 32 bands
/// from the start colour at the top to the end colour at the bottom (by default RGB(111,104,104) to
/// black). Without an end colour the bar is one flat fill of the start colour; that is how the
/// "no end colour" state of an indicator header looks.
/// Setters that do not change anything do not repaint, so a caller may set the same state at every
/// display tick.
class HeaderBar : public QWidget {
    Q_OBJECT

public:
    /// Number of colour bands of the gradient.
    static constexpr int kBandCount = 32;
    /// Default colours: grey at the top, black at the bottom.
    static constexpr QRgb kDefaultStart = qRgb(111, 104, 104);
    static constexpr QRgb kDefaultEnd = qRgb(0, 0, 0);
    /// Caption pixel heights in use: measurement page headers, channel headers, all others.
    static constexpr int kLargeCaption = 16;
    static constexpr int kChannelCaption = 15;
    static constexpr int kSmallCaption = 13;

    explicit HeaderBar(QWidget* parent = nullptr);
    /// A bar with `caption` written `captionPixelHeight` pixels high.
    explicit HeaderBar(const QString& caption, int captionPixelHeight = kSmallCaption,
                       QWidget* parent = nullptr);

    /// Sets the caption text; repaints only when it differs.
    void setCaption(const QString& caption);
    QString caption() const;

    /// Sets the caption's pixel height (at least 1); changes the size hint.
    void setCaptionPixelHeight(int pixels);
    int captionPixelHeight() const;

    /// Sets the gradient; `end` absent means "no end colour", painted as a flat fill of `start`.
    /// Repaints only when a colour differs.
    void setGradient(const QColor& start, std::optional<QColor> end);
    QColor gradientStart() const;
    std::optional<QColor> gradientEnd() const;

    /// Colour of band `band` of `bandCount` (0 = top) for the given colours: linear in each channel
    /// from `start` (first band) to `end` (last band); `start` throughout without an end colour.
    /// A bar lower than kBandCount pixels is painted with one band per pixel row, so its top row is
    /// still the start colour and its bottom row the end colour.
    static QColor bandColor(const QColor& start, const std::optional<QColor>& end, int band,
                            int bandCount = kBandCount);

    /// Caption width plus a margin; caption height plus 8 pixels.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont captionFont() const;

    QString m_caption;
    int m_captionPixelHeight = kSmallCaption;
    QColor m_start{kDefaultStart};
    std::optional<QColor> m_end{QColor(kDefaultEnd)};
};

} // namespace qmx::ui
