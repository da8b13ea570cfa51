// The settings against the real (Wine) registry: what a first start writes,
// how the options are saved and come back, what a stored hide-key does, and
// the hotkey settings dialog.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "fake_window_services.h"
#include "hotkey_ids.h"
#include "main_window_run.h"
#include "poll.h"
#include "registry_settings_store.h"
#include "resource.h"
#include "user_settings.h"
#include "windows_of.h"

namespace {

using Driver = test::ModalDriver;
using test::WaitFor;
using Registration = std::pair<UINT, UINT>;  // modifiers, virtual key

class Settings : public test::MainWindowOnFakes {
protected:
    void SetUp() override { test::ForgetSettings(); }
    void TearDown() override { test::ForgetSettings(); }

    // The real settings store, on fake window services.
    settings::SettingsStore& Store() override { return settings::UserSettings(); }

    std::optional<Registration> HideKey() {
        const auto registered = services.Registered();
        const auto found = registered.find(HOTKEY_HIDE_UNDER_CURSOR);
        return found != registered.end() ? std::optional<Registration>(found->second) : std::nullopt;
    }

    // Opens the hotkey settings dialog from the main window; its window.
    static HWND OpenHotKeyDialog(Driver& d) {
        ::PostMessageW(d.Window(), WM_COMMAND, ID_SET_HOTKEY, 0);
        return test::WaitForVisibleDialog(L"快捷键设定");
    }

    static void Close(HWND dialog, int button) {
        ::PostMessageW(dialog, WM_COMMAND, button, 0);
        WaitFor([&] { return !::IsWindow(dialog); });
    }
};

TEST_F(Settings, AFirstStartWritesNothingAndUsesTheDefaults) {
    WithMainWindow([&](Driver& d) {
        EXPECT_EQ(::IsDlgButtonChecked(d.Window(), IDC_INVISIBLE_ON_DROP), BST_CHECKED);
        EXPECT_EQ(::IsDlgButtonChecked(d.Window(), IDC_HIDE_SELF_AFTER_SHOW), BST_CHECKED);
        EXPECT_EQ(HideKey(), Registration(MOD_NOREPEAT, test::kDefaultHideKey));
    });
    EXPECT_FALSE(test::SettingsKeyExists());
}

TEST_F(Settings, EachOptionIsSavedOnItsClickAndComesBackAtTheNextStart) {
    for (const auto& [id, name] : {std::pair{IDC_INVISIBLE_ON_DROP, L"InvisibleOnDrop"},
                                   std::pair{IDC_HIDE_SELF_AFTER_SHOW, L"HideSelfAfterShow"}}) {
        WithMainWindow([&, id = id, name = name](Driver& d) {
            // A click reported by a program while the box stays as it was
            // changes nothing: the option follows its box.
            ::SendMessageW(d.Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
            EXPECT_FALSE(test::StoredDword(name)) << "a click the box never had";
            ::SendMessageW(d.Item(id), BM_CLICK, 0, 0);
            EXPECT_EQ(test::StoredDword(name), 0u) << "first click";
            ::SendMessageW(d.Item(id), BM_CLICK, 0, 0);
            EXPECT_EQ(test::StoredDword(name), 1u) << "second click";
            ::SendMessageW(d.Item(id), BM_CLICK, 0, 0);
        });
        WithMainWindow([&, id = id](Driver& d) {
            EXPECT_EQ(::IsDlgButtonChecked(d.Window(), id), BST_UNCHECKED) << "after a restart";
        });
    }
    EXPECT_FALSE(test::StoredDword(L"VirtualKey")) << "an option click writes nothing else";
}

TEST_F(Settings, AStoredHideKeyIsTheOneRegisteredAtStart) {
    test::StoreDword(L"VirtualKey", 0x77);  // F8
    test::StoreDword(L"Modifiers", 4);      // Alt, as the hotkey control says it
    WithMainWindow([&](Driver&) { EXPECT_EQ(HideKey(), Registration(MOD_ALT | MOD_NOREPEAT, 0x77)); });

    // A code no key has is not used: the dialog could not even show it.
    test::StoreDword(L"VirtualKey", 0x1C0);
    WithMainWindow([&](Driver&) { EXPECT_EQ(HideKey(), Registration(MOD_ALT | MOD_NOREPEAT, test::kDefaultHideKey)); });
}

TEST_F(Settings, ValuesOfOtherTypesAndSizesLoadByTheRules) {
    test::StoreValue(L"VirtualKey", REG_BINARY, {0x58, 0x00, 0x01, 0x00});      // 'X', upper word set
    test::StoreValue(L"Modifiers", REG_BINARY, {0x02, 0x00, 0x00, 0x00, 0x00});  // 5 bytes: not read
    test::StoreValue(L"InvisibleOnDrop", REG_BINARY, {0x00, 0x00});              // 2 bytes of 0
    test::StoreValue(L"HideSelfAfterShow", REG_SZ, {'7', 0});                   // a string, 4 bytes in all
    WithMainWindow([&](Driver& d) {
        EXPECT_EQ(HideKey(), Registration(MOD_NOREPEAT, 'X'));
        EXPECT_EQ(::IsDlgButtonChecked(d.Window(), IDC_INVISIBLE_ON_DROP), BST_UNCHECKED);
        EXPECT_EQ(::IsDlgButtonChecked(d.Window(), IDC_HIDE_SELF_AFTER_SHOW), BST_CHECKED);
    });
}

TEST_F(Settings, TheHotKeyDialogShowsTheKeyFreesItAndOkSavesBothValues) {
    WithMainWindow([&](Driver& d) {
        HWND dialog = OpenHotKeyDialog(d);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), d.Window());
        HWND control = ::GetDlgItem(dialog, IDC_HOTKEY);
        EXPECT_EQ(::SendMessageW(control, HKM_GETHOTKEY, 0, 0), MAKEWORD(test::kDefaultHideKey, 0));
        EXPECT_FALSE(HideKey()) << "the hide-key is free while the dialog is open";

        Close(dialog, IDOK);  // unchanged
        EXPECT_TRUE(WaitFor([&] { return HideKey() == Registration(MOD_NOREPEAT, test::kDefaultHideKey); }));
        // Saved once the dialog's run is over, after the key was registered.
        EXPECT_TRUE(WaitFor([&] { return test::StoredDword(L"VirtualKey") == DWORD{test::kDefaultHideKey}; }));
        EXPECT_EQ(test::StoredDword(L"Modifiers"), 0u);

        dialog = OpenHotKeyDialog(d);
        ASSERT_NE(dialog, nullptr);
        ::SendMessageW(::GetDlgItem(dialog, IDC_HOTKEY), HKM_SETHOTKEY, MAKEWORD('X', HOTKEYF_ALT), 0);
        Close(dialog, IDOK);
        EXPECT_TRUE(WaitFor([&] { return HideKey() == Registration(MOD_ALT | MOD_NOREPEAT, 'X'); }));
        EXPECT_TRUE(WaitFor([&] { return test::StoredDword(L"VirtualKey") == DWORD{'X'}; }));
        EXPECT_EQ(test::StoredDword(L"Modifiers"), DWORD{HOTKEYF_ALT});
    });
}

TEST_F(Settings, CancelWritesNothingAndKeepsTheOldKey) {
    WithMainWindow([&](Driver& d) {
        HWND dialog = OpenHotKeyDialog(d);
        ASSERT_NE(dialog, nullptr);
        ::SendMessageW(::GetDlgItem(dialog, IDC_HOTKEY), HKM_SETHOTKEY, MAKEWORD(VK_F9, HOTKEYF_CONTROL), 0);
        Close(dialog, IDCANCEL);
        EXPECT_TRUE(WaitFor([&] { return HideKey() == Registration(MOD_NOREPEAT, test::kDefaultHideKey); }));
    });
    EXPECT_FALSE(test::SettingsKeyExists());
}

// OK with a key that cannot be had says so and keeps the dialog open; the old
// key comes back when it closes, and nothing is written.
TEST_F(Settings, AKeyThatCannotBeRegisteredIsRefusedWithAMessage) {
    services.RefuseCombination(MOD_CONTROL, VK_F8);  // another program holds it
    struct Case {
        const char* what;
        WORD hotKey;  // as the control holds it: key in the low byte, flags in the high
    };
    const Case cases[] = {
        {"an emptied control", 0},
        {"a key another program holds", MAKEWORD(VK_F8, HOTKEYF_CONTROL)},
        {"Control+Tab, the show-key", MAKEWORD(VK_TAB, HOTKEYF_CONTROL)},
    };
    WithMainWindow([&](Driver& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            HWND dialog = OpenHotKeyDialog(d);
            ASSERT_NE(dialog, nullptr);
            ::SendMessageW(::GetDlgItem(dialog, IDC_HOTKEY), HKM_SETHOTKEY, c.hotKey, 0);
            ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);

            HWND message = test::WaitForOwnedWindow(dialog);
            ASSERT_NE(message, nullptr) << "a message box over the dialog";
            EXPECT_EQ(test::StaticTextsOf(message).back(), L"该快捷键无法使用，请另选一个。");
            ::PostMessageW(message, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitFor([&] { return !::IsWindow(message); }));
            EXPECT_TRUE(::IsWindowVisible(dialog)) << "the dialog stays for another choice";

            Close(dialog, IDCANCEL);
            EXPECT_TRUE(WaitFor([&] { return HideKey() == Registration(MOD_NOREPEAT, test::kDefaultHideKey); }));
        }
        EXPECT_FALSE(d.Ended(100));
    });
    EXPECT_FALSE(test::SettingsKeyExists());
}

}  // namespace
