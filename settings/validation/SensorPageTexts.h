#pragma once
// Texts of the sensor page that are derived from its lists: the response delay of the filter, the
// settling time of the stability check and the formula of the summed channels.

#include "display/core/NumberFormat.h"

#include <QString>

#include <array>
#include <optional>
#include <string_view>

namespace qmx::settings {

/// String-table identifiers of the items of the rate list (kAdRateItems), index for index; their
/// Polish texts are the items themselves. The list's index, never its text, is what is sent.
inline constexpr std::array<std::string_view, 7> kAdRateItemIds{
    "IDS_SensorPageRate4",  "IDS_SensorPageRate10", "IDS_SensorPageRate16", "IDS_SensorPageRate33",
    "IDS_SensorPageRate50", "IDS_SensorPageRate62", "IDS_SensorPageRate120"};

/// String-table identifiers of the items of the units list (kUnitsItems), index for index.
inline constexpr std::array<std::string_view, 5> kUnitsItemIds{
    "IDS_SensorPageUnitNewton", "IDS_SensorPageUnitKilonewtonNamed", "IDS_SensorPageUnitGram",
    "IDS_SensorPageUnitKilogram", "IDS_SensorPageUnitKilonewton"};

/// Response delay of the averaging filter for the selected filter and rate indices: the filter
/// length times (1000 div samples per second) milliseconds, shown as "62 ms" below one second and
/// as formatFixed(precision 2, 1 decimal) + " s" from one second on ("2.0 s"). Nothing when either
/// index is outside its list (the label then keeps its text).
std::optional<QString> responseDelayText(int filterIndex, int rateIndex, const display::NumberLocale& locale);

/// Settling time of the stability check: `samples` divided by the samples per second of the
/// selected rate, as formatFixed(precision 2, 2 decimals) + " s" (50 at 16/s gives "3.10 s").
/// Nothing when the rate index is outside its list.
std::optional<QString> stabilityTimeText(int samples, int rateIndex, const display::NumberLocale& locale);

/// String-table identifier of the sum formula for a summed-channels index (IDS_84 to IDS_87);
/// nothing outside 0..3.
std::optional<std::string_view> sumFormulaId(int selTensIndex);

} // namespace qmx::settings
