#include "SensorPageTexts.h"

#include "settings/core/ListItems.h"

#include <array>
#include <charconv>

namespace qmx::settings {

static_assert(kAdRateItemIds.size() == kAdRateItems.size(), "one identifier per rate item");
static_assert(kUnitsItemIds.size() == kUnitsItems.size(), "one identifier per units item");

namespace {
constexpr std::array<std::string_view, 4> kSumFormulaIds{"IDS_84", "IDS_85", "IDS_86", "IDS_87"};

bool inList(int index, std::size_t size)
{
    return index >= 0 && static_cast<std::size_t>(index) < size;
}
} // namespace

std::optional<QString> responseDelayText(int filterIndex, int rateIndex, const display::NumberLocale& locale)
{
    if (!inList(filterIndex, kFiltLevelItems.size()) || !inList(rateIndex, kSampleRates.size())) {
        return std::nullopt;
    }
    // The filter length is the item text itself, so the list and the formula cannot disagree.
    const std::string_view item = kFiltLevelItems[static_cast<std::size_t>(filterIndex)];
    int length = 0;
    std::from_chars(item.data(), item.data() + item.size(), length);
    // Integer division, as the transducer counts whole milliseconds per sample.
    const int ms = length * (1000 / kSampleRates[static_cast<std::size_t>(rateIndex)]);
    if (ms < 1000) {
        return QString::number(ms) + QStringLiteral(" ms");
    }
    return display::formatFixed(ms * 0.001, 2, 1, locale) + QStringLiteral(" s");
}

std::optional<QString> stabilityTimeText(int samples, int rateIndex, const display::NumberLocale& locale)
{
    if (!inList(rateIndex, kSampleRates.size())) {
        return std::nullopt;
    }
    const double seconds = static_cast<double>(samples) / kSampleRates[static_cast<std::size_t>(rateIndex)];
    return display::formatFixed(seconds, 2, 2, locale) + QStringLiteral(" s");
}

std::optional<std::string_view> sumFormulaId(int selTensIndex)
{
    if (!inList(selTensIndex, kSumFormulaIds.size())) {
        return std::nullopt;
    }
    return kSumFormulaIds[static_cast<std::size_t>(selTensIndex)];
}

} // namespace qmx::settings
