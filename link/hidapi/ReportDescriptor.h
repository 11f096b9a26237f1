#pragma once
// Report lengths from a HID report descriptor, as the program frames reports.
//
// Framing rule: byte 0 of every report the program sees is the report ID, and the lengths count it.
// On a device that declares report IDs that byte is the real ID. On a device without report IDs it
// is a placeholder 0 (the backend puts it in front of each input report and hidraw drops it from
// each output report), so such a device with 64-byte reports has lengths 65/65 like one with
// numbered 64-byte reports. This is how hidapi and the Windows HID capabilities count lengths too.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qmx::link {

/// Input and output report lengths of a device, report ID byte included.
struct ReportLayout {
    std::size_t inputLength = 0;  ///< 1 + bytes of the largest input report; 0 when it has none
    std::size_t outputLength = 0; ///< 1 + bytes of the largest output report; 0 when it has none
    bool numbered = false;        ///< the descriptor declares report IDs
    friend bool operator==(const ReportLayout&, const ReportLayout&) = default;
};

/// Layout assumed when a device's descriptor cannot be read or parsed: the transducer's own
/// (report ID 1, 64-byte reports); reports pass through as hidraw gives them.
inline constexpr ReportLayout kFallbackLayout{65, 65, true};

/// Largest report hidraw carries, in bytes (its buffer size); longer reports are refused.
inline constexpr std::size_t kMaxReportBytes = 4096;

/// Reads the lengths of the largest input and output reports from a report descriptor.
/// Returns nothing when an item runs past the end of the descriptor, when a value is out of the
/// range the HID core accepts (report ID 0, report size over 256 bits, report count over 12288, a
/// pop without push, pushes deeper than 4, collections not balanced), when a report exceeds
/// kMaxReportBytes, or when the descriptor declares neither input nor output reports. Never reads
/// outside `descriptor`.
std::optional<ReportLayout> parseReportDescriptor(std::span<const std::uint8_t> descriptor);

} // namespace qmx::link
