#pragma once
// What the measurement display shows for a record: status texts and colours, gauge positions,
// value texts and the selected value. Pure functions; the widgets only show the results.

#include "lang/StringTable.h"
#include "link/Measurement.h"

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qmx::display {

/// Text and background colour of a channel status field.
struct StatusAppearance {
    QString text;
    QColor colour;
};

/// The appearance of status codes 0..4, the text in `language`; other codes leave the field as it
/// was (nullopt).
std::optional<StatusAppearance> channelStatusAppearance(std::uint8_t status,
                                                        lang::Language language = lang::Language::Polish);
/// String-table identifier of the text of status codes 0..4; empty for other codes.
std::string_view channelStatusTextId(std::uint8_t status);

/// True when a channel's value is shown (status 2 and above); "---" otherwise.
constexpr bool channelShowsValue(std::uint8_t status)
{
    return status >= link::kStatusUnstable;
}

/// Positions of the three load gauges (maximum 100, 50 and 50) for a load in percent.
struct GaugePositions {
    int rated;   ///< 0..100
    int working; ///< 0..50
    int limit;   ///< 0..50
};
GaugePositions gaugePositions(std::uint16_t load);

/// Maxima and bar colours of the three gauges, rated first.
inline constexpr std::array<int, 3> kGaugeMaximum{100, 50, 50};
inline const std::array<QColor, 3> kGaugeColour{QColor(38, 217, 38), QColor(255, 191, 0), QColor(255, 0, 0)};

/// The value chosen for the main readout and for "Tara".
enum class DisplaySelection { Sum, Sensor1, Sensor2, Sensor3, Sensor4 };

/// The selected value of a record.
float selectedValue(const link::Measurement& m, DisplaySelection selection);
/// The command "Tara" sends for a selection.
std::uint8_t tareCommand(DisplaySelection selection);
/// The caption the large window shows for a selection, in `language`.
QString selectionCaption(DisplaySelection selection, lang::Language language = lang::Language::Polish);

/// Text of the main readouts while no transducer is connected.
inline constexpr const char* kNotConnectedText = "----------";
/// Value label of a channel without a usable value.
inline constexpr const char* kNoValueText = "---";

} // namespace qmx::display
