// Main window: menus, page tabs, connection and status strips, settings-file and preferences messages.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    {"IDS_MenuLanguage", "Język", "Language"},
    {"IDS_MenuConfiguration", "Konfiguracja", "Configuration"},
    // Also the captions of the file dialogs these items open.
    {"IDS_MenuLoadSettingsFile", "Wczytaj ustawienia z pliku", "Load settings from file"},
    {"IDS_MenuSaveSettingsFile", "Zapisz ustawienia do pliku", "Save settings to file"},
    {"IDS_MenuHelp", "Pomoc", "Help"},
    {"IDS_MenuManual", "Instrukcja obsługi", "User manual"},
    {"IDS_MenuAbout", "Informacje", "About"},
    // The page tabs; the letter after "&" is the tab's Alt key.
    {"IDS_TabMeasurement", "&Pomiary", "&Measurement"},
    {"IDS_TabChart", "&Wykres", "&Chart"},
    {"IDS_TabRecording", "&Rejestracja", "&Recording"},
    {"IDS_TabSettings", "&Ustawienia", "&Settings"},
    // The frame counter of the status strip, the same in both languages.
    {"IDS_StatusFrameRate", "Fps: ", "Fps: "},
    // The status line after loading a settings file that lacked some values.
    {"IDS_SettingsFileKeyMissing", "brak %1 klucza: %2", "%1 key missing: %2"},
    {"IDS_SettingsFileKeysMissing", "brak %1 kluczy: %2", "%1 keys missing: %2"},
    {"IDS_SettingsFileKeysUnreadable", "nieczytelne: %1", "unreadable: %1"},
    {"IDS_SettingsFileDefaultsTaken", "Plik %1: %2 (przyjęto wartości domyślne)", "File %1: %2 (defaults taken)"},
};
} // namespace

std::span<const StringEntry> mainWindowStrings()
{
    return kStrings;
}

} // namespace qmx::lang
