// About box and help window.

#include "StringGroups.h"

namespace qmx::lang {

std::span<const StringEntry> windowStrings()
{
    return {}; // no entries yet: each is {identifier, Polish, English}
}

} // namespace qmx::lang
