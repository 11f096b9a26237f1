#pragma once
// Run state of the live chart: sampling period and time window tables, start/pause, the threshold
// control, the time axis, the value range over the shown series, and reset. Pure values: it is fed
// one measurement per tick and tells what to append and which axis ranges to set.

#include "ChartData.h"
#include "link/Measurement.h"

#include <array>
#include <cstdint>
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
ChartValues chartValuesOf(const link::TMeasurement& m);

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
    /// A row was appended at `x` with `values`.
    bool appended = false;
    float x = 0.0F;
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

/// The chart's run state. Single-threaded: lives on the user-interface thread with the page.
class ChartModel {
public:
    ChartModel();

    /// One sampling tick with the current measurement and link state.
    ChartTickResult tick(const link::TMeasurement& m, bool connected);

    /// Start: plotting on; status field and header in their on state.
    void start();
    /// Pause: plotting off; status field and header in their off state. Rows are kept.
    void pause();
    /// Clears the time, the value range and (the caller) the rows; the run state is kept.
    ChartResetView reset();

    /// Applies sampling item `index`; an index outside the table leaves the period unchanged.
    /// Returns whether the period changed. Later rows are spaced by the new period.
    bool applySamplingIndex(int index);
    /// Applies window item `index`; an index outside the table leaves the window unchanged.
    void applyWindowIndex(int index);

    /// Current sampling period in seconds.
    double period() const { return m_period; }
    /// Visible time span in seconds; 0 means no scrolling.
    std::uint32_t chartWindow() const { return m_window; }
    /// Time of the next row in seconds since the last reset.
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
    // The time is kept as base + ticks * period in double precision: summing the period in
    // float32 drifts by percents after hours and stops advancing altogether after a few days.
    double m_timeBase = 0.0;
    std::uint64_t m_ticksSinceBase = 0;
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
