// Communication and outputs pages, their lists, and the analog output calibration window.

#include "StringGroups.h"

namespace qmx::lang {

namespace {
constexpr StringEntry kStrings[] = {
    // Buttons shared by the communication and outputs pages.

    // Communication page: Modbus RTU and Ethernet captions. Some read the same in both languages;
    // they are here so that every text of the page comes from the table.
    {"IDS_CommunicationRs485Group", "RS485 Modbus-RTU", "RS485 Modbus-RTU"},
    {"IDS_CommunicationEthernetGroup", "Ethernet Modbus TCP/IP", "Ethernet Modbus TCP/IP"},
    {"IDS_CommunicationPort", "Port", "Port"},
    {"IDS_CommunicationBaudRate", "Prędkość transmisji", "Baud rate"},
    {"IDS_CommunicationDeviceAddress", "Adres urządzenia", "Device address"},
    {"IDS_CommunicationParity", "Parzystość", "Parity"},
    {"IDS_CommunicationDataRate", "Danych/sek:", "Data/s:"},
    {"IDS_CommunicationIpAddress", "Adres IP QMX80", "QMX80 IP address"},
    {"IDS_CommunicationSubnetMask", "Maska podsieci", "Subnet mask"},
    {"IDS_CommunicationGateway", "Brama domyślna", "Default gateway"},
    {"IDS_CommunicationMacAddress", "Adres MAC", "MAC address"},

    // Parity list. The Polish texts are the items of the value list the settings files and the
    // transducer use; they read the same in English.
    {"IDS_CommunicationParityNone", "None", "None"},
    {"IDS_CommunicationParityOdd", "Odd", "Odd"},
    {"IDS_CommunicationParityEven", "Even", "Even"},

    // Outputs page: indicator roles, the thresholds table and its column headings.
    {"IDS_OutputsOut1Stability", "Wyjście OUT1 jako sygnalizacja stabilności pomiarów",
     "Output OUT1 signals a stable measurement"},
    {"IDS_OutputsOut2Overload", "Wyjście OUT2 jako sygnalizacja przeciążenia", "Output OUT2 signals an overload"},
    {"IDS_OutputsThresholds", "Sygnalizacja progów pomiarowych ", "Measurement thresholds"},
    {"IDS_OutputsHeadingOutput", "Wyjście", "Output"},
    {"IDS_OutputsHeadingSource", "Wartość do porównania", "Compared value"},
    {"IDS_OutputsHeadingCondition1", "Warunek 1", "Condition 1"},
    {"IDS_OutputsHeadingValue1", "Wartość do warunku 1", "Value of condition 1"},
    {"IDS_OutputsHeadingJoining", "Suma/iloczyn warunków", "Joining of conditions"},
    {"IDS_OutputsHeadingCondition2", "Warunek 2", "Condition 2"},
    {"IDS_OutputsHeadingValue2", "Wartość do warunku 2", "Value of condition 2"},
    {"IDS_OutputsHeadingState", "Stan wyjścia gdy warunki spełnione", "Output state when conditions are met"},
    {"IDS_OutputsOutputName", "OUT%1", "OUT%1"},
    {"IDS_OutputsStatusOff", "OFF", "OFF"},
    {"IDS_OutputsAnalogCalibration", "Kalibracja wyjścia analogowego...", "Analog output calibration..."},

    // Outputs page lists. The Polish texts are the items of the value lists the settings files
    // and the transducer use; only the words on screen change.
    {"IDS_OutputsSourceNone", "Nieaktywne", "Inactive"},
    {"IDS_OutputsSourceInput1", "Wejście 1", "Input 1"},
    {"IDS_OutputsSourceInput2", "Wejście 2", "Input 2"},
    {"IDS_OutputsSourceInput3", "Wejście 3", "Input 3"},
    {"IDS_OutputsSourceInput4", "Wejście 4", "Input 4"},
    {"IDS_OutputsConditionAnd", "ORAZ", "AND"},
    {"IDS_OutputsConditionOr", "LUB", "OR"},
    {"IDS_OutputsStateInactive", "Nieaktywne", "Inactive"},
    {"IDS_OutputsStateActive", "Aktywne", "Active"},

    // Analog output calibration window.
    {"IDS_AnalogCalibrationTitle", "Wyjście analogowe - kalibracja", "Analog output - calibration"},
    {"IDS_AnalogCalibrationStep1", "1) Wymuś sygnał na wyjściu AOUT (Test odznaczone!!!)",
     "1) Force a signal on the AOUT output (Test unticked!!!)"},
    {"IDS_AnalogCalibrationStep2", "2) Zmierz wartość na wyjściu AOUT", "2) Measure the value on the AOUT output"},
    {"IDS_AnalogCalibrationStep3",
     "3) Wprowadź odczytaną wartość do pola kalibracji z dokładnością 3 miejsc po przecinku",
     "3) Enter the measured value into the calibration field to 3 decimal places"},
    {"IDS_AnalogCalibrationForceSignal", "Wymuś sygnał wyjściowy", "Force output signal"},
    {"IDS_AnalogCalibrationTest", "Test", "Test"},
    {"IDS_AnalogCalibrationStart", "Start", "Start"},
    {"IDS_AnalogCalibrationStop", "Stop", "Stop"},
    {"IDS_AnalogCalibrationCalibrate", "Kalibruj wyjście", "Calibrate output"},
    {"IDS_AnalogCalibrationWrite", "Zapisz", "Write"},
    {"IDS_AnalogCalibrationMeasuredVoltage", "Odczytane napięcie (V)", "Measured voltage (V)"},
    {"IDS_AnalogCalibrationMeasuredCurrent", "Odczytany prąd (mA)", "Measured current (mA)"},
    {"IDS_AnalogCalibrationFactor", "Factor", "Factor"},
    {"IDS_AnalogCalibrationReadFactors", "Odczytaj Factor", "Read factor"},
};
} // namespace

std::span<const StringEntry> communicationStrings()
{
    return kStrings;
}

} // namespace qmx::lang
