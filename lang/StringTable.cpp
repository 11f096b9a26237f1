#include "StringTable.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace qmx::lang {

namespace {

constexpr std::array<StringEntry, 61> kStrings{{
    {"IDS_44", "Połączony", "Connected"},
    {"IDS_45", "Brak połączenia", "No connection"},
    {"IDS_46", "Rozłączony", "Disconnected"},
    {"IDS_47", "Parametry wejść-wyjść zapisane", "Parameters input-output saved"},
    {"IDS_48", "Parametry wejść tensometrycznych zapisane", "Parameters sensor saved"},
    {"IDS_49", "Wartość wytarowana", "Tare ok"},
    {"IDS_50", "Wartosc Min/Max zresetowana", "Min/max values reset"},
    {"IDS_51", "Ustawienia domyslne wejść-wyjść przywrócone", "Setting the default input-output restored"},
    {"IDS_52", "Ustawienia domyslne czujników siły przywrócone", "The default setting of sensors restored"},
    {"IDS_53", "Połączono z QMX80 ver.: ", "Connected to QMX80 ver.:"},
    {"IDS_67", "Błędne parametry", "Parameters error"},
    {"IDS_68", "Warning", "Warning"},
    {"IDS_84", "Czujnik 1 + Offset", "Sensor 1 + Offset"},
    {"IDS_85", "Czujnik 1 + Czujnik 2 + Offset", "Sensor 1 + Sensor 2 + Offset"},
    {"IDS_86", "Czujnik 1 + Czujnik 2 + Czujnik 3+ Offset", "Sensor 1 + Sensor 2 + Sensor 3+ Offset"},
    {"IDS_87", "Czujnik 1 + Czujnik 2 + Czujnik 3 + Czujnik 4 + Offset",
     "Sensor 1 + Sensor 2 + Sensor 3 + Sensor 4 + Offset"},
    {"IDS_88", "Wyjście = 0V dla wartości: ", "Output = 0V for value: "},
    {"IDS_89", "Wyjście = 10V dla wartości: ", "Output = 10V for value: "},
    {"IDS_91", "Wyjście = 0mA dla wartości: ", "Output = 0mA for value: "},
    {"IDS_92", "Wyjście = 20mA dla wartości: ", "Output = 20mA for value: "},
    {"IDS_94", "Wyjście = 4mA dla wartości: ", "Output = 4mA for value: "},
    {"IDS_97", "Wydrukowac wykres?", "Print the chart ?"},
    {"IDS_98", "Drukowanie", "Print"},
    {"IDS_101", "AKTYWNY", "ACTIVE"},
    {"IDS_102", "NIEKATYWNY", "INACTIVE"},
    {"IDS_111", "AKTYWNA", "ACTIVE"},
    {"IDS_112", "NIEAKTYWNA", "INACTIVE"},
    {"IDS_157",
     "Lewy przycisk myszy: wciśnij i przeciągnij od lewgo górnego rogu do prawego dolnego by powiększyć "
     "zaznaczony fragment lub odwrotnie by pomniejszyć.\n"
     "Prawy przycisk myszy: wciśnij i przesuwaj wykres w lewo lub prawo.",
     "Left mouse button: press and drag from the upper left to the lower right corner to enlarge selected "
     "text, or vice versa to zoom out.\n"
     "Right mouse button: press and move the chart to the left or right."},
    {"IDS_158", "Porady dla wykresu", "Chart tips"},
    {"IDS_159", "Kanał niekatywny. By aktywować zmień ilość aktywnych wejść.",
     "Channel not enabled. To activate, change the number of active inputs."},
    {"IDS_160", "Wejścia czujników", "Sensor inputs"},
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
}};

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

QString fromUtf8(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

std::span<const StringEntry> stringTable()
{
    return kStrings;
}

QString lookupText(std::string_view id, Language language)
{
    const auto it = std::find_if(kStrings.begin(), kStrings.end(),
                                 [&](const StringEntry& e) { return equalsIgnoreCase(e.id, id); });
    if (it == kStrings.end()) {
        return {};
    }
    if (language == Language::English && !it->english.empty()) {
        return fromUtf8(it->english);
    }
    return fromUtf8(it->polish);
}

} // namespace qmx::lang
