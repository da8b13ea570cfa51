#include "registry_window_record.h"

#include <windows.h>

#include "unique_handle.h"
#include "wide_text.h"

namespace hider {

namespace {

handles::unique_hkey Open(const std::wstring& path, REGSAM access) {
    handles::unique_hkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
        key.release();
    }
    return key;
}

// Far more than the longest entry (a 256-character class and a 510-character title).
constexpr DWORD kMaxEntryBytes = 4096;

}  // namespace

std::vector<RecordEntry> RegistryWindowRecord::Load() {
    std::vector<RecordEntry> entries;
    handles::unique_hkey key = Open(m_keyPath, KEY_READ | KEY_SET_VALUE);
    if (!key) {
        return entries;  // nothing recorded: no key is made for it
    }
    std::vector<std::wstring> unreadable;
    for (DWORD index = 0;; ++index) {
        // Names are eight digits: a longer name is not ours, and is left alone.
        wchar_t name[64] = {};
        DWORD nameLength = static_cast<DWORD>(std::size(name));
        DWORD type = 0;
        DWORD size = 0;
        const LONG result = ::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type, nullptr, &size);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS) {
            continue;
        }
        std::optional<RecordEntry> entry;
        if (type == REG_SZ && size <= kMaxEntryBytes) {
            std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
            DWORD read = static_cast<DWORD>(text.size() * sizeof(wchar_t));
            if (::RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &read) ==
                ERROR_SUCCESS) {
                text.resize(read / sizeof(wchar_t));
                while (!text.empty() && text.back() == L'\0') {
                    text.pop_back();
                }
                entry = DecodeEntry(Utf16(std::wstring_view(name, nameLength)), Utf16(text));
            }
        }
        if (entry) {
            entries.push_back(std::move(*entry));
        } else {
            unreadable.emplace_back(name, nameLength);
        }
    }
    for (const std::wstring& name : unreadable) {
        ::RegDeleteValueW(key.get(), name.c_str());
    }
    return entries;
}

HKEY RegistryWindowRecord::WritableKey() {
    if (!m_key && ::RegCreateKeyExW(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, m_key.put(),
                                    nullptr) != ERROR_SUCCESS) {
        m_key.release();
    }
    return m_key.get();
}

void RegistryWindowRecord::Add(const RecordEntry& entry) {
    const std::wstring name = Wide(EntryName(entry.order));
    const std::wstring text = Wide(EncodeEntry(entry));
    auto write = [&](HKEY key) {
        return ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    HKEY key = WritableKey();
    if (key != nullptr && write(key) == ERROR_KEY_DELETED) {
        // Deleted under the open key by someone else: made again.
        m_key.reset();
        if ((key = WritableKey()) != nullptr) {
            write(key);
        }
    }
}

HKEY RegistryWindowRecord::ExistingKey(REGSAM access, handles::unique_hkey& opened) {
    if (m_key) {
        return m_key.get();
    }
    opened = Open(m_keyPath, access);
    return opened.get();
}

void RegistryWindowRecord::Remove(std::uint32_t order) {
    handles::unique_hkey opened;
    if (HKEY key = ExistingKey(KEY_SET_VALUE, opened)) {
        ::RegDeleteValueW(key, Wide(EntryName(order)).c_str());
    }
}

void RegistryWindowRecord::RemoveIfEmpty() {
    DWORD values = 0;
    DWORD subkeys = 0;
    {
        handles::unique_hkey opened;
        HKEY key = ExistingKey(KEY_QUERY_VALUE, opened);
        if (key == nullptr || ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                                 nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            return;
        }
    }
    if (values == 0 && subkeys == 0) {
        m_key.reset();
        ::RegDeleteKeyW(HKEY_CURRENT_USER, m_keyPath.c_str());
    }
}

WindowRecord& UserWindowRecord() {
    static RegistryWindowRecord record;
    return record;
}

}  // namespace hider
