// The settings key of the test's own prefix, read and written directly.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test {

// The hide-key of a first start, nothing stored: the key left of 1
// (VK_OEM_3), unmodified.
inline constexpr WORD kDefaultHideKey = 0xC0;

// Removes Veilkeeper's settings key, so the next start is a first start.
void ForgetSettings();
bool SettingsKeyExists();
// A REG_DWORD value; none when absent or of another type.
std::optional<DWORD> StoredDword(const wchar_t* name);
// Writes a value of any type and bytes.
void StoreValue(const wchar_t* name, DWORD type, const std::vector<BYTE>& bytes);
void StoreDword(const wchar_t* name, DWORD value);

// Where a logon session's record of hidden windows lives: this process's
// session unless another is named.
std::wstring HiddenWindowsKey(std::optional<DWORD> session = std::nullopt);
// The values of a record key (this session's by default): each one's name and text.
std::vector<std::pair<std::wstring, std::wstring>> HiddenWindowsRecord(const std::wstring& keyPath = HiddenWindowsKey());
void StoreHiddenWindowsEntry(const std::wstring& name, const std::wstring& text,
                             const std::wstring& keyPath = HiddenWindowsKey());

}  // namespace test
