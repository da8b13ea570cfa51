#include "user_settings.h"

#include "unique_handle.h"

namespace test {

namespace {
constexpr wchar_t kKey[] = L"Software\\Veilkeeper";
}

std::wstring HiddenWindowsKey(std::optional<DWORD> session) {
    DWORD ours = 0;
    ::ProcessIdToSessionId(::GetCurrentProcessId(), &ours);
    return std::wstring(kKey) + L"\\Hidden\\" + std::to_wstring(session.value_or(ours));
}

void ForgetSettings() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
}

bool SettingsKeyExists() {
    handles::unique_hkey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::optional<DWORD> StoredDword(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, &type, &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        return std::nullopt;
    }
    return value;
}

void StoreValue(const wchar_t* name, DWORD type, const std::vector<BYTE>& bytes) {
    handles::unique_hkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) ==
        ERROR_SUCCESS) {
        ::RegSetValueExW(key.get(), name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
}

void StoreDword(const wchar_t* name, DWORD value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    StoreValue(name, REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof value));
}

std::vector<std::pair<std::wstring, std::wstring>> HiddenWindowsRecord(const std::wstring& keyPath) {
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    handles::unique_hkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        key.release();
        return entries;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256] = {};
        DWORD nameLength = 256;
        std::wstring text(4096, L'\0');
        DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                            &size) != ERROR_SUCCESS) {
            break;
        }
        text.resize(wcsnlen(text.c_str(), size / sizeof(wchar_t)));
        entries.emplace_back(std::wstring(name, nameLength), text);
    }
    return entries;
}

void StoreHiddenWindowsEntry(const std::wstring& name, const std::wstring& text, const std::wstring& keyPath) {
    handles::unique_hkey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                          nullptr) == ERROR_SUCCESS) {
        ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
}

}  // namespace test
