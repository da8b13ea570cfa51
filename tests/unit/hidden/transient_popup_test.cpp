#include "transient_popup.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kCaption = 0x00C00000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kToolWindow = 0x00000080;
constexpr std::uint32_t kNoActivate = 0x08000000;

TEST(TransientPopup, PopUpsOfTheMomentGoButWindowsTheUserWorksInStay) {
    struct Case {
        const char* what;
        std::u16string_view className;
        std::uint32_t style;
        std::uint32_t exStyle;
        bool transient;
    };
    const Case cases[] = {
        {"a tooltip", u"tooltips_class32", kPopup, kToolWindow, true},
        {"a tooltip's class in other case", u"TOOLTIPS_CLASS32", kPopup, 0, true},
        {"a menu", u"#32768", kPopup, kToolWindow, true},
        {"a combo box's list", u"ComboLBox", kPopup, kToolWindow, true},
        {"any window that is never activated", u"Palette", kPopup | kCaption, kNoActivate, true},
        {"a captionless tool pop-up (a drop-down)", u"DropDown", kPopup, kToolWindow, true},
        {"a tool pop-up with a border only is still captionless", u"DropDown", kPopup | kBorder, kToolWindow, true},
        {"a modal dialog", u"#32770", kPopup | kCaption, 0, false},
        {"a Find box", u"#32770", kPopup | kCaption, 0, false},
        {"a palette: a tool window with a caption", u"Palette", kPopup | kCaption, kToolWindow, false},
        {"a captionless pop-up that is no tool window (a splash)", u"Splash", kPopup, 0, false},
        {"a tool window that is no pop-up", u"Overlapped", 0, kToolWindow, false},
        {"a class merely starting like a tooltip's", u"tooltips_class32x", kPopup | kCaption, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hider::IsTransientPopup(c.className, c.style, c.exStyle), c.transient) << c.what;
    }
}

}  // namespace
