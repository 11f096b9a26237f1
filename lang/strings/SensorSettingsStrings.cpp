// Settings page frame and the sensor inputs page, with its lists and prompts.

#include "StringGroups.h"

namespace qmx::lang {

std::span<const StringEntry> sensorSettingsStrings()
{
    return {}; // no entries yet: each is {identifier, Polish, English}
}

} // namespace qmx::lang
