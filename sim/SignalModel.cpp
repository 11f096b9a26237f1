#include "SignalModel.h"

#include <cmath>
#include <numbers>

namespace qmx::sim {

namespace {
// Load changes follow a first-order lag of this time constant, like a hand-loaded press.
constexpr double kLagSeconds = 1.5;
// Each channel sways gently with its own period, a few tenths of a percent of the range.
constexpr double kSwayFraction = 0.002;
constexpr std::array<double, 4> kSwayPeriods{21.0, 17.0, 29.0, 13.0};
// Share of the range the automatic loads move in; channel 4 carries a light load.
constexpr std::array<double, 4> kLoadLow{0.10, 0.05, 0.20, 0.00};
constexpr std::array<double, 4> kLoadHigh{0.60, 0.45, 0.70, 0.08};
} // namespace

SignalModel::SignalModel(std::uint64_t seed)
{
    reseed(seed);
}

void SignalModel::reseed(std::uint64_t seed)
{
    m_state = seed;
    for (auto& c : m_channels) {
        const auto manual = c.manual;
        c = Channel{};
        c.manual = manual;
    }
}

// splitmix64: small, fast and the same on every platform, unlike the standard distributions.
std::uint64_t SignalModel::nextRandom()
{
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double SignalModel::uniform(double lo, double hi)
{
    const double unit = static_cast<double>(nextRandom() >> 11) * 0x1.0p-53;
    return lo + (hi - lo) * unit;
}

double SignalModel::gaussian()
{
    // Box-Muller; the first uniform is kept away from 0 so the logarithm stays finite.
    const double u1 = uniform(1e-12, 1.0);
    const double u2 = uniform(0.0, 1.0);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

void SignalModel::newEvent(Channel& c, int ch, double rangeN)
{
    const auto i = static_cast<std::size_t>(ch);
    c.target = rangeN * uniform(kLoadLow[i], kLoadHigh[i]);
    // About one change in four is a sudden step (a weight dropped on), the rest are slow ramps.
    if (uniform(0.0, 1.0) < 0.25) {
        c.load = c.target;
    }
    c.untilEvent = uniform(3.0, 12.0);
}

double SignalModel::next(int ch, double dtSeconds, double rangeN)
{
    if (ch < 0 || ch >= kChannels) {
        return 0.0;
    }
    auto& c = m_channels[static_cast<std::size_t>(ch)];
    const double noise = m_noise * rangeN * gaussian();
    if (c.manual) {
        return *c.manual + noise;
    }
    if (!c.started) {
        c.started = true;
        c.swayPhase = uniform(0.0, 2.0 * std::numbers::pi);
        newEvent(c, ch, rangeN);
        c.load = c.target;
    }
    c.untilEvent -= dtSeconds;
    if (c.untilEvent <= 0.0) {
        newEvent(c, ch, rangeN);
    }
    c.load += (c.target - c.load) * (1.0 - std::exp(-dtSeconds / kLagSeconds));
    c.swayPhase = std::fmod(c.swayPhase + 2.0 * std::numbers::pi * dtSeconds / kSwayPeriods[static_cast<std::size_t>(ch)],
                            2.0 * std::numbers::pi);
    return c.load + kSwayFraction * rangeN * std::sin(c.swayPhase) + noise;
}

void SignalModel::setManualLoad(int ch, std::optional<double> newtons)
{
    if (ch < 0 || ch >= kChannels) {
        return;
    }
    m_channels[static_cast<std::size_t>(ch)].manual = newtons;
}

void SignalModel::setNoise(double fractionOfRange)
{
    m_noise = std::isfinite(fractionOfRange) && fractionOfRange > 0.0 ? fractionOfRange : 0.0;
}

} // namespace qmx::sim
