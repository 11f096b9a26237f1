// Chart page: the live chart, opening recordings for review, cursors, statistics, axes, exports.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    // The live chart: header, run states, controls, lists, tool tips and messages.
    {"IDS_ChartTitle", "Wykres", "Chart"},
    {"IDS_ChartStatusOff", "NIEAKTYWNY", "INACTIVE"},
    {"IDS_ChartHeaderOn", "Wykres aktywny", "Chart active"},
    {"IDS_ChartHeaderOff", "Wykres nieaktywny", "Chart inactive"},
    {"IDS_ChartTipsButton", "Pomoc", "Help"},
    {"IDS_ChartStart", "Start", "Start"},
    {"IDS_ChartPause", "Pauza", "Pause"},
    {"IDS_ChartReset", "Reset", "Reset"},
    {"IDS_ChartSamplingCaption", "Próbkowanie:", "Sampling:"},
    {"IDS_ChartSamplingTip", "Okresla czestotliwosc dodawania nowych pomiarow do wykresu",
     "How often a new measurement is added to the chart"},
    {"IDS_ChartSampling100PerSecond", "100/sek.", "100/s"},
    {"IDS_ChartSampling50PerSecond", "50 /sek.", "50/s"},
    {"IDS_ChartSampling25PerSecond", "25 /sek.", "25/s"},
    {"IDS_ChartSampling10PerSecond", "10/sek.", "10/s"},
    {"IDS_ChartSampling1PerSecond", "1/sek.", "1/s"},
    {"IDS_ChartSampling1PerMinute", "1/min.", "1/min"},
    {"IDS_ChartSampling10PerMinute", "10/min.", "10/min"},
    {"IDS_ChartSampling10PerHour", "10/h.", "10/h"},
    {"IDS_ChartWindowCaption", "Czas okna", "Time window"},
    {"IDS_ChartWindowTip", "Okresla czas zapelnienia okna wykresu pomiarami. Po przekroczeniu czasu okno jest przesuwane.",
     "Time the chart window takes to fill with measurements. After that time the window scrolls."},
    {"IDS_ChartWindow1Second", "1 sek.", "1 s"},
    {"IDS_ChartWindow10Seconds", "10 sek.", "10 s"},
    {"IDS_ChartWindow1Minute", "1 min.", "1 min"},
    {"IDS_ChartWindow5Minutes", "5 min.", "5 min"},
    {"IDS_ChartWindow10Minutes", "10 min.", "10 min"},
    {"IDS_ChartWindow30Minutes", "30 min.", "30 min"},
    {"IDS_ChartWindow1Hour", "1 h.", "1 h"},
    {"IDS_ChartPrint", "Drukuj", "Print"},
    {"IDS_ChartPrintSetup", "Opcje wydruku", "Print setup"},
    {"IDS_ChartSaveImage", "Zapisz jako obraz", "Save as image"},
    {"IDS_ChartAutoStartStop", "Auto start/stop", "Auto start/stop"},
    {"IDS_ChartAutoStartStopTip", "Automatyczne rozpoczęcie i zatrzymanie rejestracji pomiarów na wykresie.",
     "Starts and stops plotting measurements on the chart automatically."},
    {"IDS_ChartAutoChannelCaption", "Kanał:", "Channel:"},
    {"IDS_ChartAutoChannelTip", "Wybór kanału sterującego rozpoczęciem / zatrzymaniem rejestracji pomiarów.",
     "Channel whose value starts / stops plotting measurements."},
    {"IDS_ChartAutoChannelSum", "SUMA", "SUM"},
    {"IDS_ChartTriggerValueCaption", "Wartość akt.", "Value now"},
    {"IDS_ChartStartLevelCaption", "Próg start:", "Start at:"},
    {"IDS_ChartStopLevelCaption", "Próg stop:", "Stop at:"},
    {"IDS_ChartStartLevelTip",
     "Wartość siły powyżej której rozpocznie się rejestracjia pomiarów. Wartość powinna być większa od parametru "
     "\"Próg stop\".",
     "Force above which plotting measurements starts. It should be greater than \"Stop at\"."},
    {"IDS_ChartStopLevelTip",
     "Wartość siły poniżej której zakończy się rejestracjia pomiarów. Wartość powinna być mniejsza od parametru "
     "\"Próg star\".",
     "Force below which plotting measurements stops. It should be less than \"Start at\"."},
    {"IDS_ChartStartBelowStop", "Wartość Próg start powinna być większa od Próg stop",
     "The \"Start at\" value should be greater than \"Stop at\""},
    {"IDS_ChartStopAboveStart", "Wartość Próg stop powinna być mniejsza od Próg start",
     "The \"Stop at\" value should be less than \"Start at\""},
    {"IDS_ChartImageNotSaved", "Nie można zapisać obrazu do pliku %1", "Cannot save the image to the file %1"},
    // The chart's series (legend, statistics rows, report pictures) and axis titles.
    {"IDS_ChartAxisValue", "Wartosc pomiaru", "Measured value"},
    // Headings of the statistics table on exported report pictures.
    {"IDS_ChartReportMean", "średnia", "mean"},
    {"IDS_ChartReportDeviation", "odch. std.", "std. dev."},
    // Chart review and analysis: opening recordings, cursors, statistics, axes and exports.
    {"IDS_ChartOpenRecording", "Otwórz rejestrację…", "Open recording…"},
    {"IDS_ChartRun", "Przebieg %1 (%2 wierszy)", "Run %1 (%2 lines)"},
    {"IDS_ChartCursors", "Kursory", "Cursors"},
    {"IDS_ChartAutoscale", "Autoskala", "Autoscale"},
    {"IDS_ChartYMin", "Y min:", "Y min:"},
    {"IDS_ChartYMax", "Y maks:", "Y max:"},
    {"IDS_ChartFitAll", "Dopasuj wszystko", "Fit all"},
    {"IDS_ChartExport", "Eksportuj…", "Export…"},
    {"IDS_ChartStatSeries", "Seria", "Series"},
    {"IDS_ChartStatTime", "Czas [s]", "Time [s]"},
    {"IDS_ChartStatCursor1", "Kursor 1", "Cursor 1"},
    {"IDS_ChartStatCursor2", "Kursor 2", "Cursor 2"},
    {"IDS_ChartStatDifference", "Różnica", "Difference"},
    {"IDS_ChartStatMin", "Min", "Min"},
    {"IDS_ChartStatMax", "Maks", "Max"},
    {"IDS_ChartStatMean", "Średnia", "Mean"},
    {"IDS_ChartStatDeviation", "Odch. std.", "Std. dev."},
    {"IDS_ChartStatPeakToPeak", "Rozstęp", "Peak-peak"},
    {"IDS_ChartStatPoints", "Punkty", "Points"},
    {"IDS_ChartRangeCursors", "Zakres: kursory", "Range: cursors"},
    {"IDS_ChartRangeVisible", "Zakres: widoczny", "Range: visible"},
    {"IDS_ChartReviewStatus", "Plik: %1, %2 wierszy", "File: %1, %2 lines"},
    {"IDS_ChartReviewTorn", "pominięto urwany ostatni wiersz", "torn last line skipped"},
    {"IDS_ChartReviewHeader", "Rejestracja: %1", "Recording: %1"},
    {"IDS_ChartReviewFailed", "Nie można otworzyć rejestracji %1: %2", "Cannot open the recording %1: %2"},
    {"IDS_ChartExportFailed", "Nie można zapisać pliku %1", "Cannot write the file %1"},
    {"IDS_ChartReviewDamaged", "Plik %1: nie można odczytać wiersza %2 (pominięte wiersze: %3)",
     "File %1: line %2 could not be read (lines skipped: %3)"},
    {"IDS_ChartReviewForeignLine", "Plik %1: wiersz %2 nie jest wierszem rejestracji zapisanej przez program",
     "File %1: line %2 is not a line of a recording made by this program"},
    {"IDS_ChartStatClock", "Czas", "Time"},
    {"IDS_ChartLiveSource", "Urządzenie (na żywo)", "Device (live)"},
};
} // namespace

std::span<const StringEntry> chartStrings()
{
    return kStrings;
}

} // namespace qmx::lang
