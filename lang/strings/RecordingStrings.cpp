// Recording page: captions, states, progress and file errors.

#include "StringGroups.h"

namespace qmx::lang {

std::span<const StringEntry> recordingStrings()
{
    return {}; // no entries yet: each is {identifier, Polish, English}
}

} // namespace qmx::lang
