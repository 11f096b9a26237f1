#include "EmulatedHidraw.h"

#include "link/hidapi/ReportDescriptor.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace qmx::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct LayoutCase {
    std::string name;
    Bytes descriptor;
    std::optional<ReportLayout> expected;
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReportDescriptorLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ReportDescriptorLayout, GivesLengthsOfTheLargestReportsOrNothing)
{
    const auto& c = GetParam();
    const auto layout = parseReportDescriptor(c.descriptor);
    ASSERT_EQ(layout.has_value(), c.expected.has_value());
    if (layout) {
        EXPECT_EQ(layout->inputLength, c.expected->inputLength);
        EXPECT_EQ(layout->outputLength, c.expected->outputLength);
        EXPECT_EQ(layout->numbered, c.expected->numbered);
    }
}

Bytes truncated(const Bytes& full, std::size_t keep)
{
    return Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(keep));
}

// A valid descriptor without collections (64-byte input report), so that a cut item added behind
// it is the only fault.
const Bytes kFlat{0x75, 0x08, 0x95, 0x40, 0x81, 0x02};

Bytes withTail(std::initializer_list<std::uint8_t> tail)
{
    Bytes bytes = kFlat;
    bytes.insert(bytes.end(), tail);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, ReportDescriptorLayout,
    ::testing::Values(
        LayoutCase{"transducer", test::kTransducerDescriptor, ReportLayout{65, 65, true}},
        // Without report IDs the lengths still count one byte in front: the placeholder ID 0.
        LayoutCase{"without_report_ids", test::kUnnumberedDescriptor, ReportLayout{65, 65, false}},
        // Input reports 1 (64 bits) and 2 (12 + 80 = 92 bits, rounded up to 12 bytes): the longer counts.
        LayoutCase{"largest_of_several_ids",
                   {0x85, 0x01, 0x75, 0x08, 0x95, 0x08, 0x81, 0x02, 0x85, 0x02, 0x75, 0x04, 0x95, 0x03,
                    0x81, 0x02, 0x75, 0x08, 0x95, 0x0A, 0x81, 0x02, 0x91, 0x02},
                   ReportLayout{13, 11, true}},
        // Items of one report add up: 3 bits + 5 bits padding + 16 bits = 3 bytes.
        LayoutCase{"items_add_up",
                   {0x75, 0x01, 0x95, 0x03, 0x81, 0x02, 0x75, 0x05, 0x95, 0x01, 0x81, 0x03, 0x75, 0x10,
                    0x95, 0x01, 0x81, 0x02},
                   ReportLayout{4, 0, false}},
        // Push saves the report size and count; pop restores them for the output report.
        LayoutCase{"push_and_pop",
                   {0x75, 0x08, 0x95, 0x04, 0xA4, 0x95, 0x20, 0x81, 0x02, 0xB4, 0x91, 0x02},
                   ReportLayout{33, 5, false}},
        // A long item is skipped whole, without looking into its data.
        LayoutCase{"long_item_skipped",
                   {0xFE, 0x02, 0x10, 0x81, 0x91, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02},
                   ReportLayout{3, 0, false}},
        // Feature reports do not count for input or output.
        LayoutCase{"feature_ignored",
                   {0x75, 0x08, 0x95, 0x80, 0xB1, 0x02, 0x95, 0x02, 0x81, 0x02},
                   ReportLayout{3, 0, false}},
        LayoutCase{"empty", {}, std::nullopt},
        LayoutCase{"no_reports", {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0xC0}, std::nullopt},
        LayoutCase{"flat", kFlat, ReportLayout{65, 0, false}},
        LayoutCase{"two_byte_item_cut", withTail({0x26, 0xFF}), std::nullopt},
        LayoutCase{"item_prefix_without_data", withTail({0x26}), std::nullopt},
        LayoutCase{"four_byte_item_cut", withTail({0x97, 0x40, 0x00}), std::nullopt},
        LayoutCase{"long_item_cut", withTail({0xFE, 0x08, 0x10, 0x01}), std::nullopt},
        LayoutCase{"long_item_header_cut", withTail({0xFE, 0x08}), std::nullopt},
        LayoutCase{"collection_not_closed", truncated(test::kTransducerDescriptor, 35), std::nullopt},
        LayoutCase{"end_without_collection", {0x75, 0x08, 0x95, 0x01, 0x81, 0x02, 0xC0}, std::nullopt},
        LayoutCase{"report_id_zero", {0x85, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}, std::nullopt},
        LayoutCase{"report_size_too_large", {0x76, 0x01, 0x01, 0x95, 0x01, 0x81, 0x02}, std::nullopt},
        LayoutCase{"report_count_too_large", {0x75, 0x08, 0x96, 0x01, 0x30, 0x81, 0x02}, std::nullopt},
        LayoutCase{"pop_without_push", {0x75, 0x08, 0x95, 0x01, 0xB4, 0x81, 0x02}, std::nullopt},
        LayoutCase{"push_too_deep", {0xA4, 0xA4, 0xA4, 0xA4, 0xA4, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02}, std::nullopt},
        // One item of 256 bits x 128 fills 4096 bytes; a second one makes the report too long.
        LayoutCase{"report_longer_than_hidraw_buffer",
                   {0x76, 0x00, 0x01, 0x96, 0x80, 0x00, 0x81, 0x02, 0x81, 0x02, 0x81, 0x02},
                   std::nullopt}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST(ReportDescriptor, EveryCutOfTheTransducerDescriptorGivesNothing)
{
    // Each cut ends inside an item or leaves the application collection open. The cut copies hold
    // exactly their bytes, so a read past the end shows up in the address-sanitizer build.
    const Bytes& full = test::kTransducerDescriptor;
    for (std::size_t keep = 0; keep < full.size(); ++keep) {
        EXPECT_FALSE(parseReportDescriptor(truncated(full, keep)).has_value()) << "cut at " << keep;
    }
}

TEST(ReportDescriptor, RandomBytesNeverGiveLengthsBeyondHidraw)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 64);
    for (int round = 0; round < 5000; ++round) {
        Bytes garbage(length(random));
        for (auto& b : garbage) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        if (const auto layout = parseReportDescriptor(garbage)) {
            EXPECT_LE(layout->inputLength, kMaxReportBytes + 1);
            EXPECT_LE(layout->outputLength, kMaxReportBytes + 1);
            EXPECT_GT(layout->inputLength + layout->outputLength, 0U);
        }
    }
}

} // namespace
} // namespace qmx::link
