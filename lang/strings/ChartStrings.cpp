// Chart page: the live chart, opening recordings for review, cursors, statistics, axes, exports.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
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
