#include "CompositeBackend.h"

#include <algorithm>

namespace qmx::link {

CompositeBackend::CompositeBackend(QObject* parent) : HidBackend(parent) {}

void CompositeBackend::add(HidBackend* backend)
{
    m_backends.push_back(backend);
    connect(backend, &HidBackend::devicesChanged, this, &HidBackend::devicesChanged);
}

std::vector<HidDeviceInfo> CompositeBackend::enumerate()
{
    std::vector<HidDeviceInfo> all;
    m_lastListing.clear();
    for (HidBackend* backend : m_backends) {
        for (auto& info : backend->enumerate()) {
            m_lastListing.push_back({info.path, backend});
            all.push_back(std::move(info));
        }
    }
    return all;
}

OpenResult CompositeBackend::open(const HidDeviceInfo& info)
{
    auto it = std::find_if(m_lastListing.begin(), m_lastListing.end(),
                           [&](const Listed& l) { return l.path == info.path; });
    if (it == m_lastListing.end()) {
        return {nullptr, "device is no longer present"};
    }
    return it->backend->open(info);
}

} // namespace qmx::link
