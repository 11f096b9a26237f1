#pragma once
// The HID devices the program sees: the real ones through hidapi and, with --simulate, the
// virtual transducer beside them.

#include "link/CompositeBackend.h"

#include <memory>

namespace qmx::link {
class HidapiBackend;
}
namespace qmx::sim {
class SimBackend;
}

namespace qmx::app {

class Backends {
public:
    explicit Backends(bool simulate);
    ~Backends();
    link::HidBackend& hid() { return m_composite; }

private:
    link::CompositeBackend m_composite;
    std::unique_ptr<link::HidapiBackend> m_hidapi;
    std::unique_ptr<sim::SimBackend> m_sim;
};

} // namespace qmx::app
