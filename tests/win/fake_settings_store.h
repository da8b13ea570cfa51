// Settings kept in memory, for tests that must not touch the user's registry.
#pragma once

#include <cstdint>
#include <cwchar>
#include <optional>

#include "settings_store.h"

namespace test {

class FakeSettingsStore final : public settings::SettingsStore {
public:
    settings::StoredSettings Load() override { return m_stored; }
    void SaveOption(const wchar_t* name, bool on) override { Slot(name) = Dword(on ? 1 : 0); }
    void SaveHotKey(std::uint16_t modifiers, std::uint16_t virtualKey) override {
        m_stored.modifiers = Dword(modifiers);
        m_stored.virtualKey = Dword(virtualKey);
    }

    settings::StoredSettings m_stored;  // nothing stored at first, as on a first start

private:
    static settings::StoredValue Dword(std::uint32_t value) {
        settings::StoredValue stored;
        stored.size = 4;
        for (auto& byte : stored.bytes) {
            byte = static_cast<std::uint8_t>(value & 0xFF);
            value >>= 8;
        }
        return stored;
    }
    std::optional<settings::StoredValue>& Slot(const wchar_t* name) {
        if (std::wcscmp(name, settings::kInvisibleOnDrop) == 0) {
            return m_stored.invisibleOnDrop;
        }
        if (std::wcscmp(name, settings::kHideSelfAfterShow) == 0) {
            return m_stored.hideSelfAfterShow;
        }
        return m_unknown;
    }

    std::optional<settings::StoredValue> m_unknown;
};

}  // namespace test
