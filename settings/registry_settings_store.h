// The settings in HKEY_CURRENT_USER\Software\Veilkeeper, as REG_DWORD values.
#pragma once

#include "settings_store.h"

namespace settings {

class RegistrySettingsStore final : public SettingsStore {
public:
    StoredSettings Load() override;
    void SaveOption(const wchar_t* name, bool on) override;
    void SaveHotKey(std::uint16_t modifiers, std::uint16_t virtualKey) override;
};

inline constexpr wchar_t kSettingsKey[] = L"Software\\Veilkeeper";

// The store for the program.
SettingsStore& UserSettings();

}  // namespace settings
