// Messages of the link to the transducer shown in the status line and the connection text.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    // The connection field after the transducer's identification; its name and version follow.
    {"IDS_LinkConnectedTo", "Połączono z ", "Connected to "},
    {"IDS_LinkMeasurementsSkipped", "Pominięte pomiary: %1 (program nie nadążał z ich odbiorem)",
     "Measurements skipped: %1 (the program fell behind)"},
    {"IDS_LinkCommunicationDefaultsRestored", "Ustawienia domyslne komunikacji przywrócone",
     "Default communication settings restored"},
    {"IDS_LinkNotAnswering", "Przetwornik QMX80NET nie odpowiada; ponowna próba połączenia co %1 s",
     "The QMX80NET transducer does not answer; trying again every %1 s"},
    {"IDS_LinkReplyTooShort", "Za krótka odpowiedź przetwornika na polecenie 0x%1: %2 z %3 bajtów",
     "Reply of the transducer to command 0x%1 too short: %2 of %3 bytes"},
    {"IDS_LinkReportsTooShort",
     "Raporty HID przetwornika są za krótkie: wejściowy %1 (potrzeba %2), wyjściowy %3 (potrzeba %4) bajtów",
     "The transducer's HID reports are too short: input %1 (needs %2), output %3 (needs %4) bytes"},
    {"IDS_LinkLostReadFailed", "Utracono połączenie z przetwornikiem QMX80NET: błąd odczytu urządzenia",
     "Lost the link to the QMX80NET transducer: device read error"},
    {"IDS_LinkLostNoMeasurements", "Utracono połączenie z przetwornikiem QMX80NET: brak pomiarów od %1 s",
     "Lost the link to the QMX80NET transducer: no measurements for %1 s"},
    {"IDS_LinkTransducersInUse", "Przetworników QMX80NET: %1; używany: %2", "QMX80NET transducers: %1; in use: %2"},
    {"IDS_LinkCannotOpen", "Nie można otworzyć przetwornika QMX80NET: %1", "Cannot open the QMX80NET transducer: %1"},
    {"IDS_LinkCannotOpenForReadWrite", "Nie można otworzyć przetwornika QMX80NET do odczytu i zapisu (%1): %2",
     "Cannot open the QMX80NET transducer for reading and writing (%1): %2"},
};
} // namespace

std::span<const StringEntry> linkStrings()
{
    return kStrings;
}

} // namespace qmx::lang
