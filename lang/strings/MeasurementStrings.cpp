// Measurement page, the channel states of the display and the large readout window.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    // The "Pomiary" page. The English Alt letters (L, T, X) leave M, C, R and S to the page tabs.
    {"IDS_MeasurementSumHeader", "Wartość sumaryczna", "Sum value"},
    {"IDS_MeasurementLargeWindowButton", "&Duże okno", "&Large window"},
    {"IDS_MeasurementTareButton", "&Tara", "&Tare"},
    {"IDS_MeasurementResetMaxButton", "Reset &Max", "Reset Ma&x"},
    {"IDS_MeasurementSelectionLabel", "Wyswietlany / tarowany pomiar:", "Shown / tared value:"},
    {"IDS_MeasurementSensorsHeader", "Wartości z czujników", "Sensor values"},
    {"IDS_MeasurementChannelHeader", "Kanał %1:", "Channel %1:"},
    {"IDS_MeasurementLoadLabel", "Obciążenie :", "Load:"},
    {"IDS_MeasurementStatusLabel", "Status:", "Status:"},
    // States of the inputs and outputs, the same words in both languages.
    {"IDS_MeasurementStateOn", "ON", "ON"},
    {"IDS_MeasurementStateOff", "OFF", "OFF"},
    {"IDS_MeasurementGaugeRated", "znamionowe", "rated"},
    {"IDS_MeasurementGaugeWorking", "użytkowe", "working"},
    {"IDS_MeasurementGaugeLimit", "graniczne", "limit"},
    // Channel states written by the display, status codes 0 to 4.
    {"IDS_MeasurementStateConverterError", "Błąd przetwornika", "Converter error"},
    {"IDS_MeasurementStateNoSensor", "Brak czujnika", "No sensor"},
    {"IDS_MeasurementStateUnstable", "Pomiar niestabilny", "Unstable"},
    {"IDS_MeasurementStateStable", "Pomiar stabilny", "Stable"},
    {"IDS_MeasurementStateOverloaded", "Czujnik przeciążony", "Sensor overloaded"},
    // The large readout window; its caption names the selected value (the sum uses
    // IDS_MeasurementSumHeader, the sensors IDS_MeasurementSensor1..4).
    {"IDS_LargeReadoutTitle", "QMX80 - wartosc pomiaru", "QMX80 - measured value"},
    {"IDS_LargeReadoutCaption", "Wartosc sumaryczna z czujników", "Sum of the sensors"},
};
} // namespace

std::span<const StringEntry> measurementStrings()
{
    return kStrings;
}

} // namespace qmx::lang
