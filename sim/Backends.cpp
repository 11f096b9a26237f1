#include "sim/Backends.h"

#include "link/hidapi/HidapiBackend.h"
#include "sim/SimBackend.h"

namespace qmx::sim {

Backends::Backends(bool simulate) : m_hidapi(std::make_unique<link::HidapiBackend>())
{
    m_composite.add(m_hidapi.get());
    if (simulate) {
        // The virtual transducer is listed after the real devices.
        m_sim = std::make_unique<SimBackend>(SimBackend::Clock::RealTime);
        m_composite.add(m_sim.get());
    }
}

Backends::~Backends() = default;

} // namespace qmx::sim
