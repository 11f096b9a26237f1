#pragma once
// When the recorder writes a record: periodically, once per rising edge of input IN2, or
// periodically while IN2 is high. The period is a number of measurement frames, not a time.

#include <cstdint>
#include <optional>

namespace qmx::recording {

/// The three recording modes (the radio buttons of the "Rejestracja" page).
enum class RecordMode {
    Continuous, ///< continuousRadio: a record every N frames
    In2Edge,    ///< whileIn2Radio: one record per rising edge of IN2
    In2High,    ///< startOnIn2Radio: a record every N frames counted while IN2 is high
};

/// What one frame asks of the recorder.
struct TriggerStep {
    bool record = false;                     ///< write a record for this frame
    std::optional<std::uint32_t> framesLeft; ///< frames to the next periodic record, when counted
};

/// The frame counter and the IN2 edge detector. One per recorder; used from one thread.
class RecordTrigger {
public:
    /// One measurement frame. `in2` is the state of input IN2 in this frame, `active` whether a
    /// recording run is on, `framesPerRecord` the period N (at least 1).
    /// The IN2 edge is tracked on every frame, running or not, so IN2 already high when a run
    /// starts is not an edge; IN2 high in the very first frame is one. While no run is on the
    /// counter is held at 0. In the edge mode the counter is left alone; in the high mode it keeps
    /// its count while IN2 is low and resumes when IN2 is high again.
    TriggerStep onFrame(bool in2, bool active, RecordMode mode, std::uint32_t framesPerRecord);

    /// Frames counted toward the next periodic record.
    std::uint32_t frameCounter() const { return m_counter; }

private:
    bool m_in2Previous = false;
    std::uint32_t m_counter = 0;
};

} // namespace qmx::recording
