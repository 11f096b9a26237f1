// Fuzz target: the IPv4 and MAC address texts of the communication page.
// Invariants: an address text that is accepted formats back to a text that is accepted as the same
// address; 255.255.255.255 is never accepted; the text of any address (of the input's bytes) reads
// back as that address.

#include "FuzzCheck.h"

#include "settings/core/AddressText.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace qmx::settings;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString text = qmx::fuzz::textOf(bytes);
    // The same bytes as UTF-16, so characters beyond Latin-1 reach the parsers too.
    const QString wide(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2));

    for (const QString& candidate : {text, wide}) {
        if (const auto ip = TextToIp(candidate)) {
            FUZZ_CHECK(!std::all_of(ip->begin(), ip->end(), [](std::uint8_t b) { return b == 0xFF; }));
            const QString formatted = IpToText(*ip);
            const auto again = TextToIp(formatted);
            FUZZ_CHECK(again.has_value() && *again == *ip);
        }
        if (const auto mac = TextToMac(candidate)) {
            const QString formatted = MacToText(*mac);
            const auto again = TextToMac(formatted);
            FUZZ_CHECK(again.has_value() && *again == *mac);
        }
    }

    if (size >= 4) {
        std::array<std::uint8_t, 4> ip{};
        std::copy_n(data, 4, ip.begin());
        const auto back = TextToIp(IpToText(ip));
        const bool broadcast = std::all_of(ip.begin(), ip.end(), [](std::uint8_t b) { return b == 0xFF; });
        FUZZ_CHECK(back.has_value() != broadcast);
        FUZZ_CHECK(!back || *back == ip);
    }
    if (size >= 6) {
        std::array<std::uint8_t, 6> mac{};
        std::copy_n(data, 6, mac.begin());
        const auto back = TextToMac(MacToText(mac));
        FUZZ_CHECK(back.has_value() && *back == mac);
    }
    return 0;
}
