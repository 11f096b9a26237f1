#include "StringTable.h"

#include "strings/StringGroups.h"

#include <QHash>

#include <vector>

namespace qmx::lang {

namespace {

QString fromUtf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString foldedId(std::string_view id)
{
    return QString::fromLatin1(id.data(), static_cast<qsizetype>(id.size())).toLower();
}

// Every group's entries in one list, built once; the groups are constant, so this never changes.
const std::vector<StringEntry>& allEntries()
{
    static const std::vector<StringEntry> entries = [] {
        std::vector<StringEntry> joined;
        for (const auto group : {deviceStrings(), mainWindowStrings(), linkStrings(), measurementStrings(),
                                 chartStrings(), recordingStrings(), sensorSettingsStrings(),
                                 communicationStrings(), windowStrings()}) {
            joined.insert(joined.end(), group.begin(), group.end());
        }
        return joined;
    }();
    return entries;
}

// Identifier (lower case) to its entry; the first entry of an identifier wins.
const QHash<QString, const StringEntry*>& entriesById()
{
    static const QHash<QString, const StringEntry*> index = [] {
        QHash<QString, const StringEntry*> byId;
        for (const auto& entry : allEntries()) {
            const QString key = foldedId(entry.id);
            if (!byId.contains(key)) {
                byId.insert(key, &entry);
            }
        }
        return byId;
    }();
    return index;
}

} // namespace

std::span<const StringEntry> stringTable()
{
    return allEntries();
}

QString lookupText(std::string_view id, Language language)
{
    const auto* entry = entriesById().value(foldedId(id), nullptr);
    if (entry == nullptr) {
        return {};
    }
    if (language == Language::English && !entry->english.empty()) {
        return fromUtf8(entry->english);
    }
    return fromUtf8(entry->polish);
}

} // namespace qmx::lang
