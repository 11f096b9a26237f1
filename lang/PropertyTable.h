#pragma once
// Captions and texts of the main window that change with the interface language.

#include "StringTable.h"

#include <QString>

#include <optional>
#include <span>
#include <string_view>

namespace qmx::lang {

/// One entry: the control's object name and its Polish and English caption or text. An empty
/// text leaves the control as it is in that language.
struct PropertyEntry {
    std::string_view control;
    std::string_view polish;
    std::string_view english;
};

/// The main window's property table.
std::span<const PropertyEntry> propertyTable();

/// The text an entry sets in `language`; nullopt when the entry leaves the control unchanged.
std::optional<QString> propertyText(const PropertyEntry& entry, Language language);

/// Number of interface languages.
inline constexpr int kLanguageCount = 2;

/// The error a refused language number raises ("%s: %d - is not a valid property value!" and
/// "Value must be within [1..%d]!"), for the window class `windowClass`.
QString invalidLanguageText(std::string_view windowClass, int number);

} // namespace qmx::lang
