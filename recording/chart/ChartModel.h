#pragma once
// Run state of the live chart: sampling period and time window tables, start/pause, the threshold
// control, the time axis, the value range over the shown series, and reset. Pure values: it is fed
// one measurement per tick and tells what to append and which axis ranges to set.

#include "ChartData.h"
#include "link/Measurement.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace qmx::recording {

/// Number of items of the sampling list ("100/sek." .. "10/h.").
inline constexpr int kSamplingItemCount = 8;
/// Number of items of the time window list ("1 sek." .. "1 h.").
inline constexpr int kWindowItemCount = 7;
/// Period the chart timer runs with until a sampling item is applied, in seconds.
inline constexpr double kInitialSamplingPeriod = 0.02;
/// Index of the "SUMA" item of the threshold channel list.
inline constexpr int kAutoChannelSum = 4;
/// Default thresholds of the automatic start and stop.
inline constexpr float kDefaultTrigStartVal = 50.0F;
inline constexpr float kDefaultTrigStopVal = 10.0F;

/// Sampling period in seconds of sampling list item `index`, or nothing outside 0..7.
/// "25 /sek." is 0.04 s, "1/min." 60 s and "10/min." 6 s: every item does what it says.
std::optional<double> samplingPeriodForIndex(int index);

/// Visible time span in whole seconds of window list item `index`, or nothing outside 0..6.
/// "1 h." is 3600 s.
std::optional<std::uint32_t> chartWindowForIndex(int index);

/// The five plotted values of a measurement: channels 1..4, then the sum.
ChartValues chartValuesOf(const link::Measurement& m);

/// A range of an axis.
struct AxisRange {
    double lower = 0.0;
    double upper = 0.0;
    friend bool operator==(const AxisRange&, const AxisRange&) = default;
};

/// What one sampling tick asks the chart to do.
struct ChartTickResult {
    /// The value watched by the threshold control, when it is switched on (for its label).
    std::optional<float> watchedValue;
    /// The tick found the link down and stopped plotting: the status field goes to its off state.
    bool stoppedByLink = false;
    /// A row was appended at `x` (seconds since the chart started) with `values`.
    bool appended = false;
    double x = 0.0;
    ChartValues values{};
    /// New bottom axis range, when the time window scrolls.
    std::optional<AxisRange> bottomRange;
    /// New left axis range (set at every appended row).
    std::optional<AxisRange> leftRange;
};

/// Axis ranges after a reset.
struct ChartResetView {
    AxisRange bottom;
    AxisRange left;
};

/// A reading of a monotonic clock (one that never jumps with the wall clock); only differences
/// between readings count.
using MonotonicClock = std::function<std::chrono::nanoseconds()>;

/// The system's steady clock, the chart's clock in the program.
std::chrono::nanoseconds steadyClockNow();

/// The chart's run state. Single-threaded: lives on the user-interface thread with the page.
/// Time: each row's x is the time measured by the monotonic clock since the first row after the
/// last reset (that row is at 0), so durations read off the chart are right however late the
/// sampling ticks come. The clock runs on through a pause: a paused stretch shows as a gap.
class ChartModel {
public:
    /// `clock` defaults to the system's steady clock; tests give their own.
    explicit ChartModel(MonotonicClock clock = {});

    /// Replaces the clock (an empty one selects the system's steady clock) and restarts the time:
    /// the next row is at 0, as after a reset.
    void setClock(MonotonicClock clock);

    /// One sampling tick with the current measurement and link state.
    ChartTickResult tick(const link::Measurement& m, bool connected);

    /// Start: plotting on; status field and header in their on state.
    void start();
    /// Pause: plotting off; status field and header in their off state. Rows are kept.
    void pause();
    /// Clears the time, the value range and (the caller) the rows; the run state is kept.
    ChartResetView reset();

    /// Applies sampling item `index`; an index outside the table leaves the period unchanged.
    /// Returns whether the period changed. Rows keep being placed at their measured times.
    bool applySamplingIndex(int index);
    /// Applies window item `index`; an index outside the table leaves the window unchanged.
    void applyWindowIndex(int index);

    /// Current sampling period in seconds.
    double period() const { return m_period; }
    /// Visible time span in seconds; 0 means no scrolling.
    std::uint32_t chartWindow() const { return m_window; }
    /// Seconds since the chart started (its first row after the last reset); 0 before that row.
    double chartTime() const;
    bool running() const { return m_running; }
    /// Smallest and largest finite value plotted on a shown series since the last reset (both
    /// start at 0).
    float chartMin() const { return m_min; }
    float chartMax() const { return m_max; }
    /// Whether the status field shows its on state ("AKTYWNY").
    bool statusOn() const { return m_statusOn; }
    /// Whether the header bar shows its on state ("Wykres aktywny").
    bool headerOn() const { return m_headerOn; }

    /// The threshold control ("Auto start/stop") and its channel (0..3 channels, 4 = sum).
    void setAutoEnabled(bool enabled) { m_autoEnabled = enabled; }
    bool autoEnabled() const { return m_autoEnabled; }
    void setAutoChannel(int index) { m_autoChannel = index; }
    int autoChannel() const { return m_autoChannel; }

    /// Thresholds of the automatic start and stop.
    void setTrigStartVal(float v) { m_trigStart = v; }
    void setTrigStopVal(float v) { m_trigStop = v; }
    float trigStartVal() const { return m_trigStart; }
    float trigStopVal() const { return m_trigStop; }

    /// Whether series `series` (0..4) is shown; only shown series count for the value range.
    void setActive(int series, bool active);
    bool active(int series) const;

private:
    bool m_running = false;
    bool m_statusOn = false;
    bool m_headerOn = false;
    double m_period = kInitialSamplingPeriod;
    MonotonicClock m_clock;
    // Clock reading of the chart's first row since the last reset; none until that row.
    std::optional<std::chrono::nanoseconds> m_origin;
    double m_lastTime = 0.0;
    std::uint32_t m_window = 0;
    float m_min = 0.0F;
    float m_max = 0.0F;
    float m_trigStart = kDefaultTrigStartVal;
    float m_trigStop = kDefaultTrigStopVal;
    bool m_autoEnabled = false;
    int m_autoChannel = 0;
    std::array<bool, kChartSeriesCount> m_active{true, true, true, true, true};
};

} // namespace qmx::recording
