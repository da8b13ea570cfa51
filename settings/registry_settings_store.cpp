#include "registry_settings_store.h"

#include <windows.h>

#include "unique_handle.h"

namespace settings {

namespace {

// One value through a 4-byte buffer, its type not looked at. A value longer
// than the buffer reports its size and no bytes.
std::optional<StoredValue> Query(HKEY key, const wchar_t* name) {
    StoredValue value;
    DWORD size = static_cast<DWORD>(value.bytes.size());
    const LONG result = ::RegQueryValueExW(key, name, nullptr, nullptr, value.bytes.data(), &size);
    if (result == ERROR_MORE_DATA) {
        return StoredValue{size, {}};
    }
    if (result != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.size = size;
    return value;
}

handles::unique_hkey OpenForWriting() {
    handles::unique_hkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        key.release();  // nothing was opened
    }
    return key;
}

void Write(HKEY key, const wchar_t* name, DWORD value) {
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

StoredSettings RegistrySettingsStore::Load() {
    handles::unique_hkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        key.release();
        return {};
    }
    return {Query(key.get(), kVirtualKey), Query(key.get(), kModifiers), Query(key.get(), kInvisibleOnDrop),
            Query(key.get(), kHideSelfAfterShow)};
}

void RegistrySettingsStore::SaveOption(const wchar_t* name, bool on) {
    if (handles::unique_hkey key = OpenForWriting()) {
        Write(key.get(), name, on ? 1 : 0);
    }
}

void RegistrySettingsStore::SaveHotKey(std::uint16_t modifiers, std::uint16_t virtualKey) {
    if (handles::unique_hkey key = OpenForWriting()) {
        Write(key.get(), kModifiers, modifiers);
        Write(key.get(), kVirtualKey, virtualKey);
    }
}

SettingsStore& UserSettings() {
    static RegistrySettingsStore store;
    return store;
}

}  // namespace settings
