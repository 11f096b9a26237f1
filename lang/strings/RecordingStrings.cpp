// Recording page: captions, states, progress and file errors.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    {"IDS_RecordingHeader", "Rejestracja pomiarów do pliku", "Recording measurements to file"},
    {"IDS_RecordingSwitch", "Aktywuj zapis", "Enable recording"},
    {"IDS_RecordingTriggerInputLabel", "Wejście wyzwalające (IN2):", "Trigger input (IN2):"},
    {"IDS_RecordingTimeToNextLabel", "Czas do kolejnego zapisu:", "Time to next record:"},
    {"IDS_RecordingStateLabel", "Stan zapisu:", "Recording state:"},
    {"IDS_RecordingSettingsGroup", "Ustawienia", "Settings"},
    {"IDS_RecordingContinuous", "Zapis ciągły", "Continuous recording"},
    {"IDS_RecordingContinuousTip", "Zapis odbywa się ciągle z okresem \"Częstotliwość rejestracji\"",
     "Records continuously at the period \"Recording rate\""},
    {"IDS_RecordingSingleOnIn2", "Zapis pojedynczy wejściem IN2", "Single record on IN2"},
    {"IDS_RecordingSingleOnIn2Tip", "Zapis odbywa się na zbocze narastające na wejście IN2 ",
     "Records one line on each rising edge of input IN2"},
    {"IDS_RecordingContinuousOnIn2", "Zapis ciągły wejściem IN2", "Continuous recording on IN2"},
    {"IDS_RecordingContinuousOnIn2Tip",
     "Zapis odbywa się na stan wysoki na wejście IN2 z okresem zapisu \"Częstotliwość rejestracji\"",
     "Records while input IN2 is high, at the period \"Recording rate\""},
    {"IDS_RecordingRateLabel", "Częstotliwość rejestracji", "Recording rate"},
    {"IDS_RecordingRateTip",
     "Prędkosć zapisu pomiarow do pliku. Maksymalnie 100 pomiarow/sekunde, minimalnie 1/godzine.",
     "Rate of writing measurements to the file. At most 100 measurements/second, at least 1/hour."},
    {"IDS_RecordingColumnsGroup", "Rejestruj do pliku:", "Record to file:"},
    {"IDS_RecordingColumnDate", "Data", "Date"},
    {"IDS_RecordingColumnTime", "Godzina", "Time"},
    {"IDS_RecordingColumnCounter", "Lp.", "No."},
    // Alt+B: a letter that none of the page tabs uses, in either language.
    {"IDS_RecordingChooseFileButton", "&Scieżka zapisu", "&Browse…"},
    {"IDS_RecordingSaveDialogCaption", "Scieżka zapisu (pomiary są dopisywane na końcu istniejącego pliku)",
     "Save path (measurements are appended to the end of an existing file)"},
    // States of the header and the state fields ("AKTYWNY" is IDS_101 of the device group).
    {"IDS_RecordingHeaderOn", "Zapis do pliku aktywowany", "Recording to file active"},
    {"IDS_RecordingHeaderOff", "Zapis do pliku", "Recording to file"},
    {"IDS_RecordingStateWriting", "ZAPIS", "WRITING"},
    {"IDS_RecordingProgress", "Zapisano wierszy: %1   Rozmiar pliku: %2   Czas zapisu: %3",
     "Lines written: %1   File size: %2   Recording time: %3"},
    // Messages about the file.
    {"IDS_RecordingWriteError", "Rejestracja zatrzymana: błąd zapisu do pliku \"%1\": %2",
     "Recording stopped: error writing to the file \"%1\": %2"},
    {"IDS_RecordingLinesNotWritten", "; liczba niezapisanych wierszy: %1", "; lines not written: %1"},
    {"IDS_RecordingRefused", "Rejestracja nie została rozpoczęta: plik \"%1\": %2",
     "Recording not started: file \"%1\": %2"},
};
} // namespace

std::span<const StringEntry> recordingStrings()
{
    return kStrings;
}

} // namespace qmx::lang
