#pragma once
// The measurements waiting to be published: a bounded queue that never blocks the one who adds
// (the reading of the transducer). When it is full the oldest measurement makes room for the new
// one and is counted as dropped.

#include "MqttMessages.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace qmx::publish {

/// One hour of measurements at 100 a second.
inline constexpr std::size_t kDefaultBufferSamples = 360000;

/// Thins measurements to at most a number a second (--rate): a measurement is let through when its
/// time has reached the next due time; due times follow a fixed grid, restarted when the
/// measurements fell behind it, so the rate holds on average without drifting.
class RateLimiter {
public:
    explicit RateLimiter(double perSecond) : m_periodMs(perSecond > 0 ? 1000.0 / perSecond : 0.0) {}
    bool admit(qint64 msSinceEpoch);

private:
    double m_periodMs;
    double m_nextDueMs = 0;
    bool m_started = false;
};

class SampleBuffer {
public:
    explicit SampleBuffer(std::size_t capacity = kDefaultBufferSamples);

    /// Adds a measurement; drops the oldest when full. Never waits for a consumer.
    void push(const Sample& sample);
    /// Takes up to `max` measurements from the front, oldest first.
    std::vector<Sample> take(std::size_t max);
    /// Takes the front measurements of the same second as the first one, but only when that second
    /// is over: a measurement of a later second waits, `nowMs` is half a second past its end, or
    /// `force`.
    std::vector<Sample> takeSecond(qint64 nowMs, bool force);
    /// Puts measurements back at the front (a publish that did not go out), as long as there is room.
    void putBack(const std::vector<Sample>& samples);
    std::size_t size() const;
    std::size_t capacity() const { return m_capacity; }
    /// Measurements dropped because the buffer was full, since it was made.
    std::uint64_t dropped() const;

private:
    mutable std::mutex m_mutex;
    std::deque<Sample> m_samples;
    std::size_t m_capacity;
    std::uint64_t m_dropped = 0;
};

} // namespace qmx::publish
