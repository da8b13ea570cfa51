// The hide-key's modifiers are kept in the form the hotkey control reports
// and the registry stores (Shift 1, Control 2, Alt 4, extended key 8);
// registering a hotkey wants them in another order (Alt 1, Control 2, Shift 4).
#pragma once

#include <cstdint>

namespace hider {

namespace control_form {
inline constexpr std::uint16_t kShift = 0x1;
inline constexpr std::uint16_t kControl = 0x2;
inline constexpr std::uint16_t kAlt = 0x4;
inline constexpr std::uint16_t kExtendedKey = 0x8;  // a key of the extended block: no modifier
}  // namespace control_form

namespace registration_form {
inline constexpr unsigned kAlt = 0x1;
inline constexpr unsigned kControl = 0x2;
inline constexpr unsigned kShift = 0x4;
}  // namespace registration_form

// Converts; the extended-key flag and any other bit (a hand-edited stored
// value) add nothing.
unsigned RegistrationModifiers(std::uint16_t controlFormModifiers);

}  // namespace hider
