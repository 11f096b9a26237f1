#pragma once
// Text forms of the IPv4 and hardware (MAC) addresses of the communication page.

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace qmx::settings {

/// The four bytes as dotted decimal, first byte first, without leading zeros ("192.168.0.2").
QString IpToText(std::span<const std::uint8_t, 4> ip);

/// Reads an IPv4 address by the rules of the classic inet_addr: one to four parts separated by
/// '.', each decimal, octal after a leading 0, or hexadecimal after 0x; with fewer than four
/// parts the last one fills the remaining bytes (and must fit them). Blanks may follow the
/// address; nothing else may. Refused: empty or unreadable text, any non-ASCII character, and
/// 255.255.255.255 (in any spelling), which inet_addr cannot tell apart from its error value.
std::optional<std::array<std::uint8_t, 4>> TextToIp(const QString& text);

/// The six bytes as lowercase hexadecimal without leading zeros, joined by ':' ("0:1b:2c:a:ff:7").
QString MacToText(std::span<const std::uint8_t, 6> mac);

/// Reads six hexadecimal numbers separated by ':' as the C conversion %x reads each (blanks
/// before a number skipped, an optional sign and 0x prefix); each number's low 8 bits give its
/// byte. Text after the sixth number is ignored. Refused when fewer than six numbers can be read
/// or a number does not fit 32 bits.
std::optional<std::array<std::uint8_t, 6>> TextToMac(const QString& text);

} // namespace qmx::settings
