#pragma once
// Horizontal load bar without text, as used three times per channel on the measurement page.

#include <QColor>
#include <QWidget>

namespace qmx::ui {

/// A horizontal bar gauge without text: a sunken frame around a white background, and a bar in
/// `barColor()` whose width is position / maximum of the inner width (rounded to whole pixels).
/// The position is kept within 0..maximum; the maximum is at least 1. Setters that change nothing
/// do not repaint: the display sets a dozen gauges every 25 ms and most of them stay put.
class LoadGauge : public QWidget {
    Q_OBJECT

public:
    explicit LoadGauge(QWidget* parent = nullptr);

    /// Sets the maximum (values below 1 become 1) and clamps the position to it.
    void setMaximum(int maximum);
    int maximum() const;

    /// Sets the position, clamped to 0..maximum.
    void setPosition(int position);
    int position() const;

    /// Sets the colour of the filled part. The default is RGB(38,217,38).
    void setBarColor(const QColor& color);
    QColor barColor() const;

    /// The inner area (inside the frame) and the part of it that the bar fills.
    QRect innerRect() const;
    QRect barRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kFrameWidth = 1;

    int m_maximum = 100;
    int m_position = 0;
    QColor m_barColor{38, 217, 38};
};

} // namespace qmx::ui
