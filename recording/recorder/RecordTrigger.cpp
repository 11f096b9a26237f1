#include "RecordTrigger.h"

#include <algorithm>

namespace qmx::recording {

TriggerStep RecordTrigger::onFrame(bool in2, bool active, RecordMode mode, std::uint32_t framesPerRecord)
{
    const bool risingEdge = in2 && !m_in2Previous;
    m_in2Previous = in2;
    if (!active) {
        m_counter = 0;
        return {};
    }
    if (mode == RecordMode::In2Edge) {
        return TriggerStep{risingEdge, std::nullopt};
    }
    if (mode == RecordMode::Continuous || in2) {
        framesPerRecord = std::max<std::uint32_t>(framesPerRecord, 1);
        ++m_counter;
        // After the speed is lowered mid-run the counter may already be past the new period; the
        // label then reads 0 rather than a negative time, and the record is written at once.
        const std::uint32_t left = m_counter < framesPerRecord ? framesPerRecord - m_counter : 0;
        if (m_counter >= framesPerRecord) {
            m_counter = 0;
            return TriggerStep{true, left};
        }
        return TriggerStep{false, left};
    }
    return {};
}

} // namespace qmx::recording
