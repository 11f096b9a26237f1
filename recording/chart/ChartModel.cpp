#include "ChartModel.h"

#include <algorithm>
#include <cmath>

namespace qmx::recording {

namespace {

// Sampling list items, index 0 first: "100/sek.", "50 /sek.", "25 /sek.", "10/sek.", "1/sek.",
// "1/min.", "10/min.", "10/h.".
constexpr std::array<double, kSamplingItemCount> kSamplingPeriods{0.01, 0.02, 0.04, 0.1, 1.0, 60.0, 6.0, 360.0};

// Window list items: "1 sek.", "10 sek.", "1 min.", "5 min.", "10 min.", "30 min.", "1 h.".
constexpr std::array<std::uint32_t, kWindowItemCount> kWindows{1, 10, 60, 300, 600, 1800, 3600};

bool isFinite(float v) { return std::isfinite(v); }

} // namespace

std::optional<double> samplingPeriodForIndex(int index)
{
    if (index < 0 || index >= kSamplingItemCount) {
        return std::nullopt;
    }
    return kSamplingPeriods[static_cast<std::size_t>(index)];
}

std::optional<std::uint32_t> chartWindowForIndex(int index)
{
    if (index < 0 || index >= kWindowItemCount) {
        return std::nullopt;
    }
    return kWindows[static_cast<std::size_t>(index)];
}

ChartValues chartValuesOf(const link::Measurement& m)
{
    return {m.ChannelValue[0], m.ChannelValue[1], m.ChannelValue[2], m.ChannelValue[3], m.SumValue};
}

std::chrono::nanoseconds steadyClockNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

ChartModel::ChartModel(MonotonicClock clock) : m_clock(clock ? std::move(clock) : MonotonicClock(steadyClockNow))
{
}

void ChartModel::setClock(MonotonicClock clock)
{
    m_clock = clock ? std::move(clock) : MonotonicClock(steadyClockNow);
    m_origin.reset();
    m_lastTime = 0.0;
}

double ChartModel::chartTime() const
{
    if (!m_origin) {
        return 0.0;
    }
    return std::chrono::duration<double>(m_clock() - *m_origin).count();
}

ChartTickResult ChartModel::tick(const link::Measurement& m, bool connected)
{
    ChartTickResult result;
    const ChartValues values = chartValuesOf(m);

    if (m_autoEnabled) {
        const int channel = m_autoChannel == kAutoChannelSum ? 4 : m_autoChannel;
        // An index outside the list (no selection) watches channel 1, the list's design default.
        const float v = (channel >= 0 && channel <= 4) ? values[static_cast<std::size_t>(channel)] : values[0];
        result.watchedValue = v;
        if (v > m_trigStart) {
            m_running = true;
        } else if (!(v >= m_trigStop)) { // also true for NaN
            m_running = false;
        }
    }
    if (!m_running) {
        return result;
    }
    if (!connected) {
        m_running = false;
        m_statusOn = false;
        result.stoppedByLink = true;
        return result;
    }

    // One clock reading per row; the first row after a reset sets the origin and sits at 0.
    const std::chrono::nanoseconds now = m_clock();
    if (!m_origin) {
        m_origin = now;
    }
    // A clock that is not monotonic (an injected one) must not make the time run backwards: the
    // rows are kept in ascending order.
    const double time = std::max(m_lastTime, std::chrono::duration<double>(now - *m_origin).count());
    m_lastTime = time;
    result.appended = true;
    result.x = time;
    result.values = values;
    if (m_window != 0 && time > static_cast<double>(m_window)) {
        result.bottomRange = AxisRange{time - static_cast<double>(m_window), time};
    }

    // Infinities are left out like NaN: one would pin the axis at infinity until the next reset.
    for (int s = 0; s < kChartSeriesCount; ++s) {
        const float v = values[static_cast<std::size_t>(s)];
        if (m_active[static_cast<std::size_t>(s)] && isFinite(v) && v < m_min) {
            m_min = v;
        }
    }
    for (int s = 0; s < kChartSeriesCount; ++s) {
        const float v = values[static_cast<std::size_t>(s)];
        if (m_active[static_cast<std::size_t>(s)] && isFinite(v) && v > m_max) {
            m_max = v;
        }
    }
    result.leftRange = AxisRange{static_cast<double>(m_min) - 1.0, static_cast<double>(m_max) + 1.0};
    return result;
}

void ChartModel::start()
{
    m_running = true;
    m_statusOn = true;
    m_headerOn = true;
}

void ChartModel::pause()
{
    m_running = false;
    m_statusOn = false;
    m_headerOn = false;
}

ChartResetView ChartModel::reset()
{
    ChartResetView view;
    view.bottom = AxisRange{0.0, m_window == 0 ? 1.0 : static_cast<double>(m_window)};
    m_min = 0.0F;
    m_max = 0.0F;
    view.left = AxisRange{-1.0, 1.0};
    m_origin.reset();
    m_lastTime = 0.0;
    return view;
}

bool ChartModel::applySamplingIndex(int index)
{
    const auto period = samplingPeriodForIndex(index);
    if (!period || *period == m_period) {
        return false;
    }
    // Rows are placed at their measured times, so a new period changes only how often they come.
    m_period = *period;
    return true;
}

void ChartModel::applyWindowIndex(int index)
{
    if (const auto window = chartWindowForIndex(index)) {
        m_window = *window;
    }
}

void ChartModel::setActive(int series, bool active)
{
    if (series >= 0 && series < kChartSeriesCount) {
        m_active[static_cast<std::size_t>(series)] = active;
    }
}

bool ChartModel::active(int series) const
{
    return series >= 0 && series < kChartSeriesCount && m_active[static_cast<std::size_t>(series)];
}

} // namespace qmx::recording
