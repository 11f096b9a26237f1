#pragma once
// Two vertical cursors on the chart and the mouse-wheel zoom. The cursors are dragged with the
// left mouse button and moved with the arrow keys; they snap to the nearest sample so the values
// read at a cursor are recorded values. The wheel zooms the time axis around the pointer (with
// Ctrl held, the value axis).

#include <QObject>

#include <array>
#include <optional>

class QCPItemStraightLine;
class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

namespace qmx::recording {
class ChartPlot;
}

namespace qmx::ui {

/// Cursors and wheel zoom of one chart. Single-threaded: user-interface thread only.
class ChartCursors : public QObject {
    Q_OBJECT
public:
    static constexpr int kCursorCount = 2;
    /// Distance in pixels within which a press grabs a cursor.
    static constexpr int kGrabPixels = 5;
    /// Zoom factor of one wheel notch (the range shrinks to this share).
    static constexpr double kWheelZoomStep = 0.8;

    explicit ChartCursors(recording::ChartPlot& plot, QObject* parent = nullptr);

    /// Shows or hides both cursors. Shown cursors start at a third and two thirds of the visible
    /// time range.
    void setShown(bool shown);
    bool shown() const { return m_shown; }
    /// Time of cursor `index` (0 or 1).
    double position(int index) const { return m_positions[static_cast<std::size_t>(index)]; }
    /// Moves cursor `index` to the sample nearest to `x`.
    void setPosition(int index, double x);
    /// The cursor the arrow keys move (the last one grabbed).
    int activeCursor() const { return m_active; }
    void setActiveCursor(int index) { m_active = index; }
    /// Moves the active cursor one step: to the next sample, or one pixel when samples lie closer.
    void step(int direction);
    /// Zooms the time axis (or, with `valueAxis`, the value axis) by `factor` around the widget
    /// pixel `pixel` on that axis, which keeps its value.
    void zoomAround(double pixel, double factor, bool valueAxis);

signals:
    /// A cursor moved, appeared or disappeared.
    void cursorsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool onPress(QMouseEvent* event);
    bool onMove(QMouseEvent* event);
    bool onRelease(QMouseEvent* event);
    bool onKey(QKeyEvent* event);
    bool onWheel(QWheelEvent* event);
    double snapped(double x) const;
    void place(int index, double x);

    recording::ChartPlot& m_plot;
    std::array<QCPItemStraightLine*, kCursorCount> m_lines{};
    std::array<double, kCursorCount> m_positions{};
    bool m_shown = false;
    int m_active = 0;
    std::optional<int> m_dragged;
};

} // namespace qmx::ui
