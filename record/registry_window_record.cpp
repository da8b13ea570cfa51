#include "registry_window_record.h"

#include <array>

#include "record_contents.h"
#include "registry_settings_store.h"
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

// Far more than the longest entry: 65 windows with 256-character class names.
constexpr DWORD kMaxEntryBytes = 64 * 1024;

// Deletes the key when it holds no value and no subkey; whether it did.
bool DeleteIfEmpty(const std::wstring& path) {
    DWORD values = 0;
    DWORD subkeys = 0;
    {
        handles::unique_hkey key = Open(path, KEY_QUERY_VALUE);
        if (!key || ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            return false;
        }
    }
    return values == 0 && subkeys == 0 && ::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace

RegistryWindowRecord::RegistryWindowRecord(std::wstring settingsKey, DWORD session)
    : m_settingsKey(std::move(settingsKey)), m_keyPath(SessionKeyPath(m_settingsKey, session)) {}

std::wstring RegistryWindowRecord::SessionKeyPath(const std::wstring& settingsKey, DWORD session) {
    return settingsKey + L"\\Hidden\\" + std::to_wstring(session);
}

RecordContents RegistryWindowRecord::Load() {
    handles::unique_hkey key = Open(m_keyPath, KEY_QUERY_VALUE);
    return key ? Read(key.get()) : RecordContents{};  // nothing recorded: no key is made for it
}

// Every value in turn until the registry says there are no more. A name longer
// than the buffer is skipped: ours are eight digits. Any other error ends the
// reading with what was read: on a key deleted meanwhile every call fails
// alike (ERROR_KEY_DELETED), and so would a key denied to us, so going on to
// the next index would never end.
RecordContents RegistryWindowRecord::Read(HKEY key) {
    RecordContents contents;
    for (DWORD index = 0;; ++index) {
        std::array<wchar_t, 64> name{};
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD size = 0;
        const LONG result = ::RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, nullptr, &size);
        if (result == ERROR_MORE_DATA) {
            continue;
        }
        if (result != ERROR_SUCCESS) {
            break;  // ERROR_NO_MORE_ITEMS when all was read
        }
        std::optional<std::wstring> text;
        if (type == REG_SZ && size <= kMaxEntryBytes) {
            text.emplace(size / sizeof(wchar_t) + 1, L'\0');
            DWORD read = static_cast<DWORD>(text->size() * sizeof(wchar_t));
            const LONG queried = ::RegQueryValueExW(key, name.data(), nullptr, nullptr,
                                                    reinterpret_cast<BYTE*>(text->data()), &read);
            if (queried == ERROR_SUCCESS) {
                text->resize(read / sizeof(wchar_t));
                while (!text->empty() && text->back() == L'\0') {
                    text->pop_back();
                }
            } else if (queried == ERROR_MORE_DATA || queried == ERROR_FILE_NOT_FOUND) {
                text.reset();  // changed or gone since it was listed: its name still holds its order
            } else {
                break;
            }
        }
        const std::u16string valueName = Utf16(std::wstring_view(name.data(), nameLength));
        const std::optional<std::u16string> text16 = text ? std::optional(Utf16(*text)) : std::nullopt;
        AddRecordValue(contents, valueName, text16 ? std::optional<std::u16string_view>(*text16) : std::nullopt);
    }
    return contents;
}

HKEY RegistryWindowRecord::WritableKey() {
    if (!m_key && ::RegCreateKeyExW(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, m_key.put(),
                                    nullptr) != ERROR_SUCCESS) {
        m_key.release();
    }
    return m_key.get();
}

bool RegistryWindowRecord::Add(const RecordEntry& entry) {
    const std::wstring name = Wide(EntryName(entry.order));
    const std::wstring text = Wide(EncodeEntry(entry));
    auto write = [&](HKEY key) {
        return ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    HKEY key = WritableKey();
    if (key == nullptr) {
        return false;
    }
    LONG result = write(key);
    if (result == ERROR_KEY_DELETED) {
        // Deleted under the open key by someone else: made again.
        m_key.reset();
        key = WritableKey();
        result = key != nullptr ? write(key) : result;
    }
    return result == ERROR_SUCCESS;
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
    // Innermost first, each only when nothing at all is left in it: another
    // session's entries, a value of another program's, a setting. The
    // settings key is left empty only by the record: the settings store makes
    // it only to write a value into it, and never deletes one.
    m_key.reset();
    for (const std::wstring& path : {m_keyPath, m_settingsKey + L"\\Hidden", m_settingsKey}) {
        if (!DeleteIfEmpty(path)) {
            return;
        }
    }
}

DWORD CurrentSession() {
    DWORD session = 0;
    return ::ProcessIdToSessionId(::GetCurrentProcessId(), &session) ? session : 0;
}

WindowRecord& UserWindowRecord() {
    static RegistryWindowRecord record(settings::kSettingsKey, CurrentSession());
    return record;
}

}  // namespace hider
