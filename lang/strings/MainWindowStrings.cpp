// Main window: menus, page tabs, connection and status strips, settings-file and preferences messages.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    {"IDS_MenuLanguage", "Język", "Language"},
};
} // namespace

std::span<const StringEntry> mainWindowStrings()
{
    return kStrings;
}

} // namespace qmx::lang
