// The rules keep text as UTF-16 (char16_t) on every system; Windows' wide
// strings are the same units.
#pragma once

#include <string>
#include <string_view>

namespace hider {

inline std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string Utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace hider
