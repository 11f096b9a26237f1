#pragma once
// Several backends seen as one: enumerations are concatenated in the order the backends were
// added, and every open goes to the backend that listed the device.

#include "HidBackend.h"

#include <vector>

namespace qmx::link {

class CompositeBackend final : public HidBackend {
    Q_OBJECT
public:
    explicit CompositeBackend(QObject* parent = nullptr);
    /// Adds a backend; it is not owned and must outlive this object.
    void add(HidBackend* backend);

    std::vector<HidDeviceInfo> enumerate() override;
    OpenResult open(const HidDeviceInfo& info) override;

private:
    struct Listed {
        std::string path;
        HidBackend* backend;
    };
    std::vector<HidBackend*> m_backends;
    std::vector<Listed> m_lastListing;
};

} // namespace qmx::link
