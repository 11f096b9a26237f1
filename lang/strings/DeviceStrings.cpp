// Texts of the main window's operations: connection states, replies of the transducer's commands,
// the summed-channels formula, message boxes and chart tips.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
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
    // The names of the four sensors and their sum, the same on every page, chart and list.
    {"IDS_Sensor1", "Czujnik 1", "Sensor 1"},
    {"IDS_Sensor2", "Czujnik 2", "Sensor 2"},
    {"IDS_Sensor3", "Czujnik 3", "Sensor 3"},
    {"IDS_Sensor4", "Czujnik 4", "Sensor 4"},
    {"IDS_Sum", "Suma", "Sum"},
};
} // namespace

std::span<const StringEntry> deviceStrings()
{
    return kStrings;
}

} // namespace qmx::lang
