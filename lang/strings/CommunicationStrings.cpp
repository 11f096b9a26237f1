// Communication and outputs pages, their lists, and the analog output calibration window.

#include "StringGroups.h"

namespace qmx::lang {

std::span<const StringEntry> communicationStrings()
{
    return {}; // no entries yet: each is {identifier, Polish, English}
}

} // namespace qmx::lang
