#pragma once
// The HID devices the program and the tool see: the real ones through hidapi and, on request
// (--simulate), the virtual transducer beside them. Kept here, above both backends, so that the
// program and the tool share one device list.

#include "link/CompositeBackend.h"

#include <memory>

namespace qmx::link {
class HidapiBackend;
}

namespace qmx::sim {

class SimBackend;

class Backends {
public:
    explicit Backends(bool simulate);
    ~Backends();
    link::HidBackend& hid() { return m_composite; }

private:
    link::CompositeBackend m_composite;
    std::unique_ptr<link::HidapiBackend> m_hidapi;
    std::unique_ptr<SimBackend> m_sim;
};

} // namespace qmx::sim
