#pragma once
// Item texts of every drop-down list of the settings pages, index 0 first. The index of the
// selected item is what travels to the transducer, so the order here is part of the protocol.
// The user interface builds its lists from these tables and nothing else.

#include <QStringList>

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace qmx::settings {

/// Channels added into the sum (`SelTens`): 0 = sensor 1 ... 3 = sensors 1-4.
inline constexpr std::array<std::string_view, 4> kSelTensItems{"1", "1+2", "1+2+3", "1+2+3+4"};

/// Conversion rate (`Rate`). Index 5 reads "62 / sek" although the rate is 60 per second, and
/// index 2 carries a trailing blank; both are kept as the device's own lists show them.
inline constexpr std::array<std::string_view, 7> kAdRateItems{
    "4 / sek", "10 / sek", "16 / sek ", "33 / sek", "50 / sek", "62 / sek", "120 / sek"};

/// Samples per second for each `Rate` index.
inline constexpr std::array<int, 7> kSampleRates{4, 10, 16, 33, 50, 60, 120};

/// Averaging filter level (`Filter`); the item text read as a number is the filter length.
inline constexpr std::array<std::string_view, 8> kFiltLevelItems{"1", "2", "4", "8", "16", "32", "64", "128"};

/// Unit of the values (`Units`).
inline constexpr std::array<std::string_view, 5> kUnitsItems{
    "N - niutony", "kN -kiloniutony", "g   -gramy", "kg -kilogramy", "kN"};

/// Unit suffix shown after values, per `Units` index (each with a leading blank).
inline constexpr std::array<std::string_view, 5> kUnitsSuffixes{" N", " kN", " g", " kg", " kN"};

/// Decimals shown by the display; a program-side setting, never sent.
inline constexpr std::array<std::string_view, 5> kDecpItems{"0", "1", "2", "3", "4"};

/// Modbus RTU baud rate (`Baudrate`), and the rate in bits per second per index.
inline constexpr std::array<std::string_view, 5> kModbusBaudItems{"9600", "19200", "38400", "57600", "115200"};
inline constexpr std::array<int, 5> kModbusBaudRates{9600, 19200, 38400, 57600, 115200};

/// Modbus device addresses offered by the address list ("1" to "247"; index = address - 1).
inline constexpr int kModbusAddressMin = 1;
inline constexpr int kModbusAddressMax = 247;

/// Modbus RTU parity (`Parity`).
inline constexpr std::array<std::string_view, 3> kModbusParityItems{"None", "Odd", "Even"};

/// Value an output compares (`Source`): none, sensor 1-4, the sum.
inline constexpr std::array<std::string_view, 6> kOutSourceItems{
    "Nieaktywne", "Wejście 1", "Wejście 2", "Wejście 3", "Wejście 4", "Suma"};

/// Comparison of an output condition (`mode1`, `mode2`).
inline constexpr std::array<std::string_view, 2> kOutModeItems{"<", ">"};

/// Joining of the two output conditions (`condition`): condition 1 only, and, or.
inline constexpr std::array<std::string_view, 3> kOutConditionItems{"---", "ORAZ", "LUB"};

/// State of an output while its conditions hold (`state`).
inline constexpr std::array<std::string_view, 2> kOutStateItems{"Nieaktywne", "Aktywne"};

/// The items as Qt strings, for filling a list control. The tables hold UTF-8 text.
QStringList toStringList(std::span<const std::string_view> items);

/// "1" to "247", the items of the Modbus address list.
QStringList modbusAddressItems();

} // namespace qmx::settings
