#include "WideString.h"

namespace qmx::link {

std::u16string utf16FromWide(std::wstring_view text)
{
    std::u16string out;
    out.reserve(text.size());
    if constexpr (sizeof(wchar_t) == 2) {
        for (const wchar_t c : text) {
            out.push_back(static_cast<char16_t>(c));
        }
    } else {
        constexpr char32_t kReplacement = 0xFFFD;
        for (const wchar_t c : text) {
            auto cp = static_cast<char32_t>(c);
            if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                cp = kReplacement;
            }
            if (cp > 0xFFFF) {
                cp -= 0x10000;
                out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
            } else {
                out.push_back(static_cast<char16_t>(cp));
            }
        }
    }
    return out;
}

} // namespace qmx::link
