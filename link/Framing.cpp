#include "Framing.h"

#include "Protocol.h"

#include <algorithm>

namespace qmx::link {

std::optional<std::vector<std::uint8_t>> buildOutputReport(std::span<const std::uint8_t> payload,
                                                           std::size_t reportLength)
{
    if (payload.empty() || payload.size() > kLongPayload) {
        return std::nullopt;
    }
    if (reportLength < kMinOutputReportLength || reportLength > kReportBufferSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> report(reportLength, 0);
    report[0] = kOutputReportId;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    return report;
}

} // namespace qmx::link
