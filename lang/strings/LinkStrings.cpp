// Messages of the link to the transducer shown in the status line and the connection text.

#include "StringGroups.h"

namespace qmx::lang {

std::span<const StringEntry> linkStrings()
{
    return {}; // no entries yet: each is {identifier, Polish, English}
}

} // namespace qmx::lang
