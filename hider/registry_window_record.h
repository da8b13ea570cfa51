// The record of hidden windows in the registry: a subkey of the settings key,
// one REG_SZ value per row. A value is written or removed whole, so a crash at
// any moment leaves every other entry intact, and adding or removing a row
// touches only its own entry. The settings' own four values are not touched.
#pragma once

#include <string>

#include "unique_handle.h"
#include "window_record.h"

namespace hider {

inline constexpr wchar_t kHiddenWindowsKey[] = L"Software\\Veilkeeper\\Hidden";

class RegistryWindowRecord final : public WindowRecord {
public:
    // The record under HKEY_CURRENT_USER\`keyPath`.
    explicit RegistryWindowRecord(std::wstring keyPath = kHiddenWindowsKey) : m_keyPath(std::move(keyPath)) {}

    std::vector<RecordEntry> Load() override;
    void Add(const RecordEntry& entry) override;
    void Remove(std::uint32_t order) override;
    void RemoveIfEmpty() override;

private:
    // The key, opened for writing by the first Add and kept open, so a hide
    // writes its entry in one call; closed before the empty key is deleted.
    HKEY WritableKey();
    // The key held open, else the key opened into `opened` for one call;
    // none when there is no record.
    HKEY ExistingKey(REGSAM access, handles::unique_hkey& opened);

    std::wstring m_keyPath;
    handles::unique_hkey m_key;
};

// The record for the program.
WindowRecord& UserWindowRecord();

}  // namespace hider
