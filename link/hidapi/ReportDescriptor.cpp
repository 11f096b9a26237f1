#include "ReportDescriptor.h"

#include <algorithm>
#include <array>

namespace qmx::link {

namespace {

// Item prefix fields (HID 1.11, 6.2.2.2): size code in bits 0-1, type in bits 2-3, tag in bits 4-7.
constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::uint8_t kTypeMain = 0;
constexpr std::uint8_t kTypeGlobal = 1;

constexpr std::uint8_t kMainInput = 0x8;
constexpr std::uint8_t kMainOutput = 0x9;
constexpr std::uint8_t kMainCollection = 0xA;
constexpr std::uint8_t kMainEndCollection = 0xC;

constexpr std::uint8_t kGlobalReportSize = 0x7;
constexpr std::uint8_t kGlobalReportId = 0x8;
constexpr std::uint8_t kGlobalReportCount = 0x9;
constexpr std::uint8_t kGlobalPush = 0xA;
constexpr std::uint8_t kGlobalPop = 0xB;

// Limits the Linux HID core enforces; a descriptor beyond them is not a usable device.
constexpr std::uint32_t kMaxReportSizeBits = 256;
constexpr std::uint32_t kMaxReportCount = 12288;
constexpr std::size_t kGlobalStackDepth = 4;

constexpr std::uint32_t kMaxReportBits = static_cast<std::uint32_t>(kMaxReportBytes) * 8;

struct GlobalState {
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint8_t reportId = 0;
};

// Bits declared per report ID for one direction; ID 0 holds the reports of an unnumbered device.
using BitsPerId = std::array<std::uint32_t, 256>;

std::uint32_t itemValue(std::span<const std::uint8_t> data)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    return value;
}

std::size_t lengthOf(const BitsPerId& bits)
{
    const std::uint32_t largest = *std::max_element(bits.begin(), bits.end());
    return largest == 0 ? 0 : 1 + (largest + 7) / 8;
}

} // namespace

std::optional<ReportLayout> parseReportDescriptor(std::span<const std::uint8_t> descriptor)
{
    GlobalState global;
    std::array<GlobalState, kGlobalStackDepth> stack{};
    std::size_t stackDepth = 0;
    BitsPerId inputBits{};
    BitsPerId outputBits{};
    bool numbered = false;
    std::size_t openCollections = 0;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos];
        if (prefix == kLongItemPrefix) {
            // Long items carry vendor data only; skip them, checking that they fit.
            if (descriptor.size() - pos < 3) {
                return std::nullopt;
            }
            const std::size_t dataSize = descriptor[pos + 1];
            if (descriptor.size() - pos - 3 < dataSize) {
                return std::nullopt;
            }
            pos += 3 + dataSize;
            continue;
        }

        const std::size_t sizeCode = prefix & 0x3U;
        const std::size_t dataSize = sizeCode == 3 ? 4 : sizeCode;
        if (descriptor.size() - pos - 1 < dataSize) {
            return std::nullopt;
        }
        const std::uint8_t type = (prefix >> 2) & 0x3U;
        const std::uint8_t tag = prefix >> 4;
        const std::uint32_t value = itemValue(descriptor.subspan(pos + 1, dataSize));
        pos += 1 + dataSize;

        if (type == kTypeGlobal) {
            switch (tag) {
            case kGlobalReportSize:
                if (value > kMaxReportSizeBits) {
                    return std::nullopt;
                }
                global.reportSize = value;
                break;
            case kGlobalReportCount:
                if (value > kMaxReportCount) {
                    return std::nullopt;
                }
                global.reportCount = value;
                break;
            case kGlobalReportId:
                if (value == 0 || value > 0xFF) {
                    return std::nullopt;
                }
                global.reportId = static_cast<std::uint8_t>(value);
                numbered = true;
                break;
            case kGlobalPush:
                if (stackDepth == stack.size()) {
                    return std::nullopt;
                }
                stack[stackDepth++] = global;
                break;
            case kGlobalPop:
                if (stackDepth == 0) {
                    return std::nullopt;
                }
                global = stack[--stackDepth];
                break;
            default:
                break; // usage page, logical and physical ranges, units: no effect on lengths
            }
        } else if (type == kTypeMain && tag == kMainCollection) {
            ++openCollections;
        } else if (type == kTypeMain && tag == kMainEndCollection) {
            if (openCollections == 0) {
                return std::nullopt;
            }
            --openCollections;
        } else if (type == kTypeMain && (tag == kMainInput || tag == kMainOutput)) {
            // Both factors are capped above, so the product fits in 32 bits.
            const std::uint32_t itemBits = global.reportSize * global.reportCount;
            std::uint32_t& total = (tag == kMainInput ? inputBits : outputBits)[global.reportId];
            if (itemBits > kMaxReportBits - total) {
                return std::nullopt;
            }
            total += itemBits;
        }
        // Local items and feature reports do not change the input/output lengths.
    }

    // The HID core refuses a descriptor whose collections are not closed; so do we.
    if (openCollections != 0) {
        return std::nullopt;
    }
    ReportLayout layout{lengthOf(inputBits), lengthOf(outputBits), numbered};
    if (layout.inputLength == 0 && layout.outputLength == 0) {
        return std::nullopt;
    }
    return layout;
}

} // namespace qmx::link
