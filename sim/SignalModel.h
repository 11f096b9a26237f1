#pragma once
// The physical loads on the four virtual sensors: slow load changes, occasional steps, a faint
// sway and measurement noise, all from one seeded generator so that a run can be repeated.
// Not thread-safe; the virtual transducer calls it under its own lock.

#include <array>
#include <cstdint>
#include <optional>

namespace qmx::sim {

class SignalModel {
public:
    static constexpr int kChannels = 4;
    /// Default noise: standard deviation as a fraction of the sensor range.
    static constexpr double kDefaultNoise = 3e-5;

    explicit SignalModel(std::uint64_t seed = 1);

    /// Restarts every channel's signal from the given seed.
    void reseed(std::uint64_t seed);
    /// Moves channel `ch` on by `dtSeconds` and returns its load in newtons. `rangeN` scales the
    /// automatic loads and the noise.
    double next(int ch, double dtSeconds, double rangeN);
    /// Holds channel `ch` at a fixed load in newtons (noise still added); nullopt returns it to
    /// the automatic loads.
    void setManualLoad(int ch, std::optional<double> newtons);
    /// Noise as a fraction of the range (standard deviation); 0 gives exact loads.
    void setNoise(double fractionOfRange);

private:
    struct Channel {
        double load = 0.0;        // newtons, before noise
        double target = 0.0;      // newtons
        double untilEvent = 0.0;  // seconds to the next load change
        double swayPhase = 0.0;   // radians
        bool started = false;
        std::optional<double> manual;
    };

    std::uint64_t nextRandom();
    double uniform(double lo, double hi);
    double gaussian();
    void newEvent(Channel& c, int ch, double rangeN);

    std::uint64_t m_state = 0;
    double m_noise = kDefaultNoise;
    std::array<Channel, kChannels> m_channels{};
};

} // namespace qmx::sim
