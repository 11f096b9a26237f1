// Settings page frame and the sensor inputs page, with its lists and prompts.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    // The frame of the settings pages: header and inner tabs.
    {"IDS_SettingsPageHeader", "Ustawienia", "Settings"},
    {"IDS_SettingsPageSensorsTab", "Wejścia tensometryczne", "Sensor inputs"},
    {"IDS_SettingsPageCommunicationTab", "Komunikacja", "Communication"},
    // The buttons every settings page has.
    {"IDS_SettingsRead", "&Odczytaj", "R&ead"},
    {"IDS_SettingsWrite", "&Zapisz", "&Write"},
    {"IDS_SettingsFactoryDefaults", "Przywróć fabryczne", "Factory defaults"},
    {"IDS_SettingsPageOutputsTab", "Wyjścia ", "Outputs"},

    // The boxes of the settings pages: factory-restore question, Ethernet notice, refusal lines.
    {"IDS_SettingsPageRestoreCaption", "Konfiguracja", "Configuration"},
    {"IDS_SettingsPageRestoreQuestion", "Przywrócić domyślne?", "Restore factory defaults?"},
    {"IDS_SettingsPageEthernetCaption", "Parametry komunikacji ethernet", "Ethernet parameters"},
    {"IDS_SettingsPageEthernetNotice",
     "Ustawienie nowych parametrów dla Ethernet nastąpi po ponownym uruchomieniu urządzenia.",
     "New Ethernet parameters take effect after the device is restarted."},
    {"IDS_SettingsPageAllowedRange", "od %1 do %2", "from %1 to %2"},

    // Names of the communication and output fields in the refusal box ("%1" is OUT1 or OUT2).
    {"IDS_SettingsFieldOutCondition", "Suma/iloczyn warunków (%1)", "Joining of conditions (%1)"},
    {"IDS_SettingsFieldOutMode1", "Warunek 1 (%1)", "Condition 1 (%1)"},
    {"IDS_SettingsFieldOutMode2", "Warunek 2 (%1)", "Condition 2 (%1)"},
    {"IDS_SettingsFieldOutState", "Stan wyjścia gdy warunki spełnione (%1)",
     "Output state when conditions are met (%1)"},
    {"IDS_SettingsFieldOutSource", "Wartość do porównania (%1)", "Compared value (%1)"},
    {"IDS_SettingsFieldOutNumber1", "Wartość do warunku 1 (%1)", "Value of condition 1 (%1)"},
    {"IDS_SettingsFieldOutNumber2", "Wartość do warunku 2 (%1)", "Value of condition 2 (%1)"},

    // The sensor inputs page: buttons.
    // The sum box.
    {"IDS_SensorPageSumGroup", "Wartość sumaryczna:", "Sum:"},
    {"IDS_SensorPageSumChannels", "Sumowane kanały:", "Summed channels:"},
    {"IDS_SensorPageSumChannelsTip", "Określa ilość aktywnych weść czujników siły",
     "Sets the number of active force sensor inputs"},
    {"IDS_SensorPageOffset", "Offset:", "Offset:"},
    {"IDS_SensorPageTare", "Tara", "Tare"},
    {"IDS_SensorPageSumFormula", "Wartosc sumaryczna = ", "Sum = "},
    {"IDS_SensorPageSumNoFormula", "Wartosc sumaryczna", "Sum"},
    // The filter box.
    {"IDS_SensorPageFilterGroup", "Filtracja pomiarów", "Filtering"},
    {"IDS_SensorPageRate", "Częstliwosc pomiarów: ", "Sample rate: "},
    {"IDS_SensorPageRateTip", "Czestotliwosc próbkowania / kanał", "Sampling rate per channel"},
    {"IDS_SensorPageFilterLevel", "Poziom filtracji:", "Filter level:"},
    {"IDS_SensorPageFilterLevelTip", "Poziom ciągłego filtru uśredniającego.",
     "Level of the continuous averaging filter."},
    {"IDS_SensorPageSettlingTime", "Czas ustalania", "Settling time"},
    {"IDS_SensorPageResponseTip", "Czas odpowiedzi kanału przy zmianie siły",
     "Response time of a channel to a change of force"},
    // The conversion rates of the rate list, index 0 first.
    {"IDS_SensorPageRate4", "4 / sek", "4 / s"},
    {"IDS_SensorPageRate10", "10 / sek", "10 / s"},
    {"IDS_SensorPageRate16", "16 / sek ", "16 / s"},
    {"IDS_SensorPageRate33", "33 / sek", "33 / s"},
    {"IDS_SensorPageRate50", "50 / sek", "50 / s"},
    {"IDS_SensorPageRate62", "62 / sek", "62 / s"},
    {"IDS_SensorPageRate120", "120 / sek", "120 / s"},
    // The stability box.
    {"IDS_SensorPageStabilityGroup", "Pomiar stabilności", "Stability"},
    {"IDS_SensorPageMaxDifference", "Maks. różnica", "Max. difference"},
    {"IDS_SensorPageSamples", "Ilość próbek:", "Samples:"},
    // The units box and the units of the units list, index 0 first.
    {"IDS_SensorPageUnitsGroup", "Jednostki pomiarów", "Units"},
    {"IDS_SensorPageUnits", "Jednostki:", "Units:"},
    {"IDS_SensorPageDecimals", "Przecinek:", "Decimals:"},
    {"IDS_SensorPageUnitNewton", "N - niutony", "N - newtons"},
    {"IDS_SensorPageUnitKilonewtonNamed", "kN -kiloniutony", "kN - kilonewtons"},
    {"IDS_SensorPageUnitGram", "g   -gramy", "g - grams"},
    {"IDS_SensorPageUnitKilogram", "kg -kilogramy", "kg - kilograms"},
    {"IDS_SensorPageUnitKilonewton", "kN", "kN"},
    // The sensors box.
    {"IDS_SensorPageSensorsGroup", "Ustawienia czujników", "Sensor settings"},
    {"IDS_SensorPageCurrentValue", "Wartość aktualna:", "Current value:"},
    {"IDS_SensorPageRangeRow", "Zakres czujnika [N]:", "Sensor range [N]:"},
    {"IDS_SensorPageSensRow", "Stała czujnika [mV/V]:", "Sensitivity [mV/V]:"},
    {"IDS_SensorPageZeroAll", "Zero 1 2 3 4", "Zero 1 2 3 4"},
    {"IDS_SensorPageSensor", "Czujnik %1", "Sensor %1"},
    {"IDS_SensorPageInvertSign", "Odwróć znak", "Invert sign"},
    {"IDS_SensorPageZero", "Zero", "Zero"},
    // Names of the sensor page's fields in the refusal box ("%1" is the sensor's number).
    {"IDS_SensorFieldRange", "Zakres czujnika [N] (Czujnik %1)", "Sensor range [N] (Sensor %1)"},
    {"IDS_SensorFieldSens", "Stała czujnika [mV/V] (Czujnik %1)", "Sensitivity [mV/V] (Sensor %1)"},
    {"IDS_SensorFieldFilterLevel", "Poziom filtracji", "Filter level"},
    {"IDS_SensorFieldRate", "Częstliwosc pomiarów", "Sample rate"},
    {"IDS_SensorFieldSamples", "Ilość próbek", "Samples"},
    {"IDS_SensorFieldUnits", "Jednostki", "Units"},
    {"IDS_SensorFieldSumChannels", "Sumowane kanały", "Summed channels"},
    {"IDS_SensorFieldOffset", "Offset", "Offset"},
};
} // namespace

std::span<const StringEntry> sensorSettingsStrings()
{
    return kStrings;
}

} // namespace qmx::lang
