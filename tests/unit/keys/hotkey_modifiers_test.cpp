#include "hotkey_modifiers.h"

#include <gtest/gtest.h>

namespace {

TEST(HotkeyModifiers, EveryFlagCombinationConverts) {
    // Control form: Shift 1, Control 2, Alt 4, extended 8.
    // Registration form: Alt 1, Control 2, Shift 4.
    const unsigned expected[16] = {
        0, 4, 2, 6, 1, 5, 3, 7,  // without the extended-key flag
        0, 4, 2, 6, 1, 5, 3, 7,  // with it: the same
    };
    for (unsigned flags = 0; flags < 16; ++flags) {
        EXPECT_EQ(hider::RegistrationModifiers(static_cast<std::uint16_t>(flags)), expected[flags]) << flags;
    }
}

TEST(HotkeyModifiers, StrayBitsOfAHandEditedValueAreDropped) {
    EXPECT_EQ(hider::RegistrationModifiers(0xFFF0), 0u);
    EXPECT_EQ(hider::RegistrationModifiers(0xFFFF), 7u);
    EXPECT_EQ(hider::RegistrationModifiers(0x0104), 1u);  // Alt plus a stray bit: Alt alone
}

}  // namespace
