#pragma once
// hidapi hands strings out as wchar_t text; the link keeps product strings as UTF-16.

#include <string>
#include <string_view>

namespace qmx::link {

/// Converts hidapi's wide text to UTF-16. On Linux wchar_t holds UTF-32 code points: those above
/// U+FFFF become surrogate pairs, and values that are not Unicode scalar values (surrogates, above
/// U+10FFFF) become U+FFFD. Where wchar_t is 16 bits wide the text is copied unchanged.
std::u16string utf16FromWide(std::wstring_view text);

} // namespace qmx::link
