// Measurement page, the channel states of the display and the large readout window.

#include "StringGroups.h"

namespace qmx::lang {

std::span<const StringEntry> measurementStrings()
{
    return {}; // no entries yet: each is {identifier, Polish, English}
}

} // namespace qmx::lang
