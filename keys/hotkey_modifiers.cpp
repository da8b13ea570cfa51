#include "hotkey_modifiers.h"

namespace hider {

unsigned RegistrationModifiers(std::uint16_t controlFormModifiers) {
    unsigned modifiers = 0;
    if (controlFormModifiers & control_form::kShift) modifiers |= registration_form::kShift;
    if (controlFormModifiers & control_form::kControl) modifiers |= registration_form::kControl;
    if (controlFormModifiers & control_form::kAlt) modifiers |= registration_form::kAlt;
    return modifiers;
}

}  // namespace hider
