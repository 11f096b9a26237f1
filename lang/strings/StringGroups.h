#pragma once
// The string table in groups, one group per part of the window; lookups search all of them.

#include "lang/StringTable.h"

#include <span>

namespace qmx::lang {

std::span<const StringEntry> deviceStrings();
std::span<const StringEntry> chartStrings();
std::span<const StringEntry> mainWindowStrings();
std::span<const StringEntry> linkStrings();
std::span<const StringEntry> measurementStrings();
std::span<const StringEntry> sensorSettingsStrings();
std::span<const StringEntry> communicationStrings();
std::span<const StringEntry> recordingStrings();
std::span<const StringEntry> windowStrings();

} // namespace qmx::lang
