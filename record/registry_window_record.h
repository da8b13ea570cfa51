// The record of hidden windows in the registry: under the settings key,
// `Hidden\<logon session>`, one REG_SZ value per row. Each logon session of the
// user (a second one through remote desktop, say) keeps its own entries and
// never touches another's. A value is written or removed whole, so a crash at
// any moment leaves every other entry intact, and adding or removing a row
// touches only its own entry. Values that are no entry of ours are left alone.
#pragma once

#include <windows.h>

#include <string>

#include "unique_handle.h"
#include "window_record.h"

namespace hider {

class RegistryWindowRecord final : public WindowRecord {
public:
    // The record of logon session `session` under HKEY_CURRENT_USER\`settingsKey`.
    RegistryWindowRecord(std::wstring settingsKey, DWORD session);

    RecordContents Load() override;
    bool Add(const RecordEntry& entry) override;
    void Remove(std::uint32_t order) override;
    void RemoveIfEmpty() override;

    // What an open record key holds, read in one pass; what was read before
    // an error when one comes (the key deleted meanwhile, say).
    static RecordContents Read(HKEY key);
    // Where a session's entries live, below HKEY_CURRENT_USER.
    static std::wstring SessionKeyPath(const std::wstring& settingsKey, DWORD session);

private:
    // The key, opened for writing by the first Add and kept open, so a hide
    // writes its entry in one call; closed before the empty key is deleted.
    HKEY WritableKey();
    // The key held open, else the key opened into `opened` for one call;
    // none when there is no record.
    HKEY ExistingKey(REGSAM access, handles::unique_hkey& opened);

    std::wstring m_settingsKey;
    std::wstring m_keyPath;
    handles::unique_hkey m_key;
};

// The logon session this process runs in.
DWORD CurrentSession();

// The record for the program: this user's, this logon session's.
WindowRecord& UserWindowRecord();

}  // namespace hider
