#include "PropertyTable.h"

#include <array>

namespace qmx::lang {

namespace {
constexpr std::array<PropertyEntry, 6> kProperties{{
    {"Label1", "Status:", ""},
    {"Label_Status", "...", ""},
    {"Label26", "Rejestracja do pliku:", "Acquisition to file:"},
    {"Label19", "Status połączenia", "Connection status"},
    {"Label20", "Język", "Language"},
    {"StatusBarAcquisition", "NIEAKTYWNA", "INACTIVE"},
}};
} // namespace

std::span<const PropertyEntry> propertyTable()
{
    return kProperties;
}

std::optional<QString> propertyText(const PropertyEntry& entry, Language language)
{
    const std::string_view text = language == Language::English ? entry.english : entry.polish;
    if (text.empty()) {
        return std::nullopt;
    }
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString invalidLanguageText(std::string_view windowClass, int number)
{
    return QStringLiteral("%1: %2 - is not a valid property value!\nValue must be within [1..%3]!")
        .arg(QString::fromLatin1(windowClass.data(), static_cast<qsizetype>(windowClass.size())))
        .arg(number)
        .arg(kLanguageCount);
}

} // namespace qmx::lang
