#pragma once
// Output report assembly: report ID 1, the payload, then zeros up to the device's report length.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace qmx::link {

/// Builds one output report of `reportLength` bytes (report ID included) carrying `payload`.
/// Returns nothing when the payload is empty or longer than 63 bytes, or when the report length is
/// outside 64..256 (such a device cannot carry the protocol's longest request).
std::optional<std::vector<std::uint8_t>> buildOutputReport(std::span<const std::uint8_t> payload,
                                                           std::size_t reportLength);

} // namespace qmx::link
