#pragma once
// Byte-to-text decoding for profile files: strict UTF-8 validation and the Windows-1250 code page
// that older installations wrote their files in.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace qmx::settings {

/// True when `bytes` is well-formed UTF-8: no overlong forms, no surrogates, nothing above
/// U+10FFFF and no sequence cut short at the end.
bool isValidUtf8(std::span<const std::uint8_t> bytes);

/// The character that Windows-1250 assigns to `byte`; the five bytes the code page leaves
/// undefined (0x81, 0x83, 0x88, 0x90, 0x98) give U+FFFD.
char16_t windows1250Char(std::uint8_t byte);

/// `bytes` decoded as Windows-1250 (every byte is one character).
QString decodeWindows1250(std::span<const std::uint8_t> bytes);

/// `text` encoded as Windows-1250, or nothing when a character has no place in that code page.
std::optional<QByteArray> encodeWindows1250(QStringView text);

/// Why `bytes` cannot be read as single-byte or UTF-8 text, or nothing when they can: UTF-16 (with
/// or without its byte-order mark) and anything holding NUL bytes are refused rather than misread.
std::optional<QString> notReadableAsText(std::span<const std::uint8_t> bytes);

} // namespace qmx::settings
