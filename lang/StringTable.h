#pragma once
// The program's string table: texts looked up by identifier in the active language.

#include <QString>

#include <functional>
#include <span>
#include <string_view>

namespace qmx::lang {

/// Interface languages, numbered as the language list position plus one.
enum class Language { Polish = 1, English = 2 };

/// One entry: identifier and its Polish and English texts (UTF-8). An empty English text falls
/// back to Polish.
struct StringEntry {
    std::string_view id;
    std::string_view polish;
    std::string_view english;
};

/// Gives the text of an identifier in the language the caller has chosen.
using TextLookup = std::function<QString(std::string_view id)>;

/// The whole table, every group's entries one after the other.
std::span<const StringEntry> stringTable();

/// The text of `id` in `language`; identifiers match without regard to letter case; an empty text
/// in the language gives the Polish text; an unknown identifier gives the empty string.
QString lookupText(std::string_view id, Language language);

} // namespace qmx::lang
