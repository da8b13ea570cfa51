// Where the per-user settings live. The main window loads them once and saves
// each change at once; the store opens its key for each load or save.
#pragma once

#include <cstdint>

#include "stored_settings.h"

namespace settings {

inline constexpr wchar_t kVirtualKey[] = L"VirtualKey";
inline constexpr wchar_t kModifiers[] = L"Modifiers";
inline constexpr wchar_t kInvisibleOnDrop[] = L"InvisibleOnDrop";
inline constexpr wchar_t kHideSelfAfterShow[] = L"HideSelfAfterShow";

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The four values, read with the key open once; all absent without a key.
    virtual StoredSettings Load() = 0;
    // Writes one option, 0 or 1. Nothing is written when the key cannot be opened.
    virtual void SaveOption(const wchar_t* name, bool on) = 0;
    // Writes Modifiers, then VirtualKey, each widened to 32 bits.
    virtual void SaveHotKey(std::uint16_t modifiers, std::uint16_t virtualKey) = 0;
};

}  // namespace settings
