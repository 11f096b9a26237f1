// Fuzz target: the HID report-descriptor parser, fed any bytes a device might return.
// Invariants: it reads only the descriptor (the address sanitizer watches the exact-size input);
// a layout it returns has at least one report, no report longer than hidraw carries, lengths that
// count the report ID byte; and the same descriptor always gives the same answer.

#include "FuzzCheck.h"

#include "link/hidapi/ReportDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qmx::link;
    const std::span<const std::uint8_t> descriptor(data, size);
    const auto layout = parseReportDescriptor(descriptor);
    FUZZ_CHECK(parseReportDescriptor(descriptor) == layout);
    if (layout) {
        FUZZ_CHECK(layout->inputLength != 0 || layout->outputLength != 0);
        FUZZ_CHECK(layout->inputLength <= 1 + kMaxReportBytes);
        FUZZ_CHECK(layout->outputLength <= 1 + kMaxReportBytes);
        FUZZ_CHECK(layout->inputLength != 1 && layout->outputLength != 1);
    }
    return 0;
}
