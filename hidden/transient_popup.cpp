#include "transient_popup.h"

#include <algorithm>

namespace hider {

namespace {

// The styles by their values: this file has no Windows header.
constexpr std::uint32_t kPopup = 0x80000000;        // WS_POPUP
constexpr std::uint32_t kCaption = 0x00C00000;      // WS_CAPTION
constexpr std::uint32_t kToolWindow = 0x00000080;   // WS_EX_TOOLWINDOW
constexpr std::uint32_t kNoActivate = 0x08000000;   // WS_EX_NOACTIVATE

constexpr std::u16string_view kTransientClasses[] = {u"tooltips_class32", u"#32768", u"ComboLBox"};

char16_t Lower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool SameClass(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

}  // namespace

bool IsTransientPopup(std::u16string_view className, std::uint32_t style, std::uint32_t exStyle) {
    if (std::any_of(std::begin(kTransientClasses), std::end(kTransientClasses),
                    [&](std::u16string_view transient) { return SameClass(className, transient); })) {
        return true;
    }
    if ((exStyle & kNoActivate) != 0) {
        return true;
    }
    // WS_CAPTION is two bits (a border and a dialog frame): a caption needs both.
    return (exStyle & kToolWindow) != 0 && (style & kPopup) != 0 && (style & kCaption) != kCaption;
}

}  // namespace hider
