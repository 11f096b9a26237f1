// About box and help window.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    // About box: caption, the lines of its text box, the maker lines and its button.
    {"IDS_AboutTitle", "O programie", "About program"},
    {"IDS_AboutVersion", "QMX80NET-PC wersja: ", "QMX80NET-PC version: "},
    {"IDS_AboutPurpose",
     "Program QMX80NET-PC słuzy do konfiguracji oraz akwizycji danych z modułu pomiarowego QMX80NET przeznaczonego "
     "dla tensometrycznych czujników siły.",
     "The QMX80NET-PC program configures the QMX80NET measuring module for strain-gauge force sensors and acquires "
     "its data."},
    {"IDS_AboutLatestVersions", "Najnowsze wersje znajdziesz na:  ", "Latest versions at:  "},
    {"IDS_AboutMakerName", "Projekt QMX80NET-PC", "The QMX80NET-PC project"},
    {"IDS_AboutMakerPlace", "repozytorium projektu QMX80NET-PC", "the QMX80NET-PC project repository"},
    {"IDS_AboutSite", "site:", "site:"},
    {"IDS_AboutEmail", "email:", "email:"},
    {"IDS_AboutMakerMail", "brak - uwagi przez repozytorium projektu", "none - feedback through the project repository"},
    {"IDS_AboutClose", "Zamknij", "Close"},
    // Help window: caption and the page it shows when the manual cannot be shown.
    {"IDS_HelpTitle", "QMX80NET instrukcja", "QMX80NET manual"},
    {"IDS_HelpCannotShow", "Nie można wyświetlić instrukcji", "The manual cannot be shown"},
    {"IDS_HelpAddressNotAFile", "Adres instrukcji nie wskazuje pliku.", "The manual's address does not name a file."},
    {"IDS_HelpFileMissing", "Nie znaleziono pliku instrukcji.", "The manual's file was not found."},
    {"IDS_HelpFileUnreadable", "Nie można odczytać pliku instrukcji: %1.", "The manual's file cannot be read: %1."},
    {"IDS_HelpNotAnArchive", "Plik nie jest archiwum MIME HTML (.mht).", "The file is not a MIME HTML archive (.mht)."},
    {"IDS_HelpArchiveEmpty", "Archiwum jest puste.", "The archive is empty."},
    {"IDS_HelpArchiveWithoutPage", "Archiwum nie zawiera strony HTML.", "The archive holds no HTML page."},
    // %1 the Polish manual's file name, %2 the English one's.
    {"IDS_HelpHowToRestore",
     "Instrukcja obsługi jest dostarczana jako plik <b>%1</b> w folderze programu. Program działa dalej normalnie; "
     "aby przywrócić instrukcję, zainstaluj program ponownie albo skopiuj ten plik do folderu programu.",
     "The user's manual comes as the file <b>%2</b> (English) or <b>%1</b> (Polish) in the program's folder. The "
     "program goes on working normally; to restore the manual, install the program again or copy the file into the "
     "program's folder."},
};
} // namespace

std::span<const StringEntry> windowStrings()
{
    return kStrings;
}

} // namespace qmx::lang
