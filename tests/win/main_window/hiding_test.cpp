// Hiding and giving back windows through the main window, with the window
// system replaced by a fake: the real list view and image list, the order of
// the record, and what is asked of the targets.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "fake_window_services.h"
#include "hider_dlg.h"
#include "hotkey_ids.h"
#include "main_window_run.h"
#include "poll.h"
#include "resource.h"

namespace {

using namespace std::chrono_literals;
using Driver = test::ModalDriver;

using test::Target;

class Hiding : public test::MainWindowOnFakes {
protected:
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);

    static std::vector<std::wstring> Titles(Driver& d) {
        HWND list = d.Item(IDC_HIDDEN_LIST);
        std::vector<std::wstring> titles;
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            wchar_t text[600] = {};
            ListView_GetItemText(list, row, 0, text, 600);
            titles.emplace_back(text);
        }
        return titles;
    }

    static int ImageOf(Driver& d, int row) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ListView_GetItem(d.Item(IDC_HIDDEN_LIST), &item);
        return item.iImage;
    }

    static int ImageCount(Driver& d) {
        return ImageList_GetImageCount(ListView_GetImageList(d.Item(IDC_HIDDEN_LIST), LVSIL_SMALL));
    }

    // The finder's centre, as a mouse message to the main window carries it.
    static LPARAM OnFinder(Driver& d) {
        RECT finder{};
        ::GetWindowRect(d.Item(IDC_FINDER), &finder);
        ::MapWindowPoints(nullptr, d.Window(), reinterpret_cast<POINT*>(&finder), 2);
        return MAKELPARAM((finder.left + finder.right) / 2, (finder.top + finder.bottom) / 2);
    }

    // A key-down as the hotkey reports it.
    static void HotKeyDown(Driver& d, int id) { ::SendMessageW(d.Window(), WM_HOTKEY, id, 0); }
    // A key going down or up as the keyboard watch reports it.
    static void Key(Driver& d, UINT virtualKey, bool down) {
        const platform::KeyEvent event{virtualKey, down};
        ::SendMessageW(d.Window(), WM_INPUT, RIM_INPUTSINK, reinterpret_cast<LPARAM>(&event));
    }
    // The hide-key pressed with the pointer over each window in turn, its key
    // going down and up as the watch sees it.
    static void HideWithKeyOver(Driver& d, test::FakeWindowServices& on, std::initializer_list<HWND> windows) {
        for (HWND window : windows) {
            on.SetPointer({0, 0}, window);
            Key(d, 0xC0, true);
            HotKeyDown(d, HOTKEY_HIDE_UNDER_CURSOR);
            Key(d, 0xC0, false);
        }
    }
    void HideWithKeyOver(Driver& d, std::initializer_list<HWND> windows) { HideWithKeyOver(d, services, windows); }

    static void DoubleClickRow(Driver& d, int row) {
        HWND list = d.Item(IDC_HIDDEN_LIST);
        if (row >= 0) {
            ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
        NMITEMACTIVATE click{};
        click.hdr = {list, IDC_HIDDEN_LIST, static_cast<UINT>(NM_DBLCLK)};
        click.iItem = row;
        d.Notify(click.hdr);
    }
};

TEST_F(Hiding, TheHideKeyHidesTheTopLevelWindowUnderThePointerAndListsItNewestFirst) {
    services.AddTarget(Target(1), {L"窗口 A", icon, nullptr});
    services.AddTarget(Target(2), {L"窗口 B", icon, nullptr});
    services.AddTarget(Target(3), {L"", nullptr, Target(2)});  // a child of B
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1), Target(3)});

        EXPECT_EQ(Titles(d), (std::vector<std::wstring>{L"窗口 B", L"窗口 A"}));
        EXPECT_EQ(services.Requests(), (std::vector<std::string>{"hide 1", "hide 2"}));
        EXPECT_TRUE(test::WaitFor([&] { return ImageCount(d) == 2; })) << "the icons follow the hides";
    });
}

TEST_F(Hiding, ExitShowsEveryWindowNewestFirstAndEndsTheRun) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    services.AddTarget(Target(2), {L"B", icon, nullptr});
    const INT_PTR result = WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1), Target(2)});
        ::PostMessageW(d.Window(), WM_COMMAND, ID_EXIT, 0);
        EXPECT_TRUE(d.Ended(10000));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(services.Requests(), (std::vector<std::string>{"hide 1", "hide 2", "show 2", "show 1", "front 2"}))
        << "the newest first, none activated, then the newest in front";
    EXPECT_TRUE(services.Registered().empty()) << "both hotkeys are released when the window goes";
}

TEST_F(Hiding, NothingOfVeilkeeperItselfIsHidden) {
    WithMainWindow([&](Driver& d) {
        // A control's top-level window is the main window.
        HideWithKeyOver(d, {d.Window(), d.Item(IDC_HIDDEN_LIST), nullptr});
        EXPECT_TRUE(Titles(d).empty());
        EXPECT_TRUE(services.Calls().empty());
        EXPECT_TRUE(::IsWindowVisible(d.Window()));
    });
}

TEST_F(Hiding, RowsKeepTitleAndIconAsTheWindowGaveThem) {
    services.AddTarget(Target(1), {std::wstring(600, L'长'), icon, nullptr});
    services.AddTarget(Target(2), {L"没有图标", nullptr, nullptr});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1), Target(2)});
        const auto titles = Titles(d);
        ASSERT_EQ(titles.size(), 2u);
        EXPECT_EQ(titles[1], std::wstring(510, L'长'));
        EXPECT_EQ(titles[0], L"没有图标");
        EXPECT_TRUE(test::WaitFor([&] { return ImageOf(d, 1) == 0; })) << "the icon follows the hide";
        EXPECT_EQ(ImageOf(d, 0), I_IMAGENONE);
        EXPECT_EQ(ImageCount(d), 1) << "a window without icon adds no image";
    });
}

TEST_F(Hiding, DoubleClickShowsTheSelectedWindowAndRemovesItsRow) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    services.AddTarget(Target(2), {L"B", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1), Target(2)});
        DoubleClickRow(d, -1);  // nothing selected: nothing happens
        EXPECT_EQ(Titles(d).size(), 2u);
        EXPECT_TRUE(::IsWindowVisible(d.Window()));

        DoubleClickRow(d, 1);  // A
        EXPECT_EQ(services.Requests(), (std::vector<std::string>{"hide 1", "hide 2", "show 1", "front 1"}));
        EXPECT_EQ(Titles(d), (std::vector<std::wstring>{L"B"}));
        EXPECT_FALSE(::IsWindowVisible(d.Window())) << "the option hides the main window after a restore";
    });
}

TEST_F(Hiding, RightClickAsksTheSelectedWindowForItsWindowMenu) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1)});
        HWND list = d.Item(IDC_HIDDEN_LIST);
        NMITEMACTIVATE click{};
        click.hdr = {list, IDC_HIDDEN_LIST, static_cast<UINT>(NM_RCLICK)};
        d.Notify(click.hdr);
        EXPECT_EQ(services.Calls().size(), 1u) << "nothing selected: nothing asked";

        ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
        d.Notify(click.hdr);
        const auto requests = services.Requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[1], "menu 1");
        EXPECT_EQ(Titles(d).size(), 1u) << "the row stays";
    });
}

TEST_F(Hiding, BroughtBackTheWindowIsReadyForTheKeyboardAndEnterGivesTheSelectedWindowBack) {
    for (int n = 1; n <= 3; ++n) {
        services.AddTarget(Target(n), {L"w" + std::to_wstring(n), icon, nullptr});
    }
    WithMainWindow([&](Driver& d) {
        HWND list = d.Item(IDC_HIDDEN_LIST);
        HideWithKeyOver(d, {Target(1), Target(2), Target(3)});
        const auto bringBack = [&] {
            ::ShowWindow(d.Window(), SW_HIDE);
            services.SetKeyDown(VK_LCONTROL, true);
            Key(d, VK_LCONTROL, true);
            for (bool down : {true, false, true, false}) {
                Key(d, VK_TAB, down);
            }
            Key(d, VK_LCONTROL, false);
            services.SetKeyDown(VK_LCONTROL, false);
            ASSERT_TRUE(::IsWindowVisible(d.Window()));
            HWND focus = nullptr;
            d.OnDialogThread([&] { focus = ::GetFocus(); });
            EXPECT_EQ(focus, list) << "the list has the keyboard";
            EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED | LVNI_FOCUSED), 0) << "the newest row is ready";
        };
        const auto enter = [&] {
            const size_t before = services.Calls().size();
            ::PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
            EXPECT_TRUE(test::WaitFor([&] { return services.Calls().size() >= before + 2; }));
            return services.Requests(before);
        };

        bringBack();
        EXPECT_EQ(enter(), (std::vector<std::string>{"show 3", "front 3"}));
        EXPECT_TRUE(test::WaitFor([&] { return !::IsWindowVisible(d.Window()); })) << "as after a double-click";
        bringBack();
        ::PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
        EXPECT_EQ(enter(), (std::vector<std::string>{"show 1", "front 1"}));
        EXPECT_EQ(Titles(d), std::vector<std::wstring>{L"w2"});
    });
}

TEST_F(Hiding, TheContextMenuKeyAsksTheSelectedWindowForItsWindowMenuAtItsRow) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1)});
        HWND list = d.Item(IDC_HIDDEN_LIST);
        const auto askByKeyboard = [&] {
            // What the system sends for the context-menu key or Shift+F10.
            d.OnDialogThread([&] { ::SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); });
        };
        askByKeyboard();
        EXPECT_EQ(services.Requests(), std::vector<std::string>{"hide 1"}) << "nothing selected: nothing asked";
        ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
        askByKeyboard();
        EXPECT_EQ(services.Requests(), (std::vector<std::string>{"hide 1", "menu 1"}));
        // A right-click's own WM_CONTEXTMENU, at the pointer, asks nothing more:
        // its notification did.
        d.OnDialogThread([&] { ::SendMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(5, 5)); });
        EXPECT_EQ(services.Requests().size(), 2u);
    });
}

TEST_F(Hiding, WithTheOptionOffTheMainWindowStaysAfterARestore) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        ::SendMessageW(d.Item(IDC_HIDE_SELF_AFTER_SHOW), BM_CLICK, 0, 0);
        HideWithKeyOver(d, {Target(1)});
        DoubleClickRow(d, 0);
        EXPECT_TRUE(Titles(d).empty());
        EXPECT_TRUE(::IsWindowVisible(d.Window()));
    });
}

TEST_F(Hiding, AWindowThatCannotBeRecordedStaysOnScreenAndTheUserHearsIt) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    record.m_refuseWrites = true;
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1)});
        EXPECT_TRUE(Titles(d).empty());
        EXPECT_EQ(services.Requests(), std::vector<std::string>{"warn"}) << "nothing hidden";
    });
}

TEST_F(Hiding, TheDesktopIsNeverATarget) {
    services.MarkDesktop(Target(9));
    services.AddTarget(Target(9), {L"", nullptr, nullptr});
    services.AddTarget(Target(8), {L"child of the desktop", nullptr, Target(9)});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(9), Target(8)});
        EXPECT_TRUE(Titles(d).empty());
        EXPECT_TRUE(services.Calls().empty());
    });
}

TEST_F(Hiding, AWindowClosedWhileHiddenLosesItsRowBySelf) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    services.AddTarget(Target(2), {L"B", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1), Target(2)});
        services.Close(Target(1));
        EXPECT_TRUE(test::WaitFor([&] { return Titles(d) == std::vector<std::wstring>{L"B"}; }));
        EXPECT_EQ(ImageCount(d), 1);
        EXPECT_EQ(services.Calls().size(), 2u) << "nothing shown";
    });
    EXPECT_TRUE(record.m_entries.empty()) << "the run's end gave B back";
}

TEST_F(Hiding, ADoubleClickOnARowOfAnotherWindowNowShowsNothingAndVeilkeeperStays) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1)});
        services.Reuse(Target(1), 0x9000, 0x9004);
        // Whether the check or the double-click sees it first, no window is shown.
        DoubleClickRow(d, 0);
        EXPECT_TRUE(test::WaitFor([&] { return Titles(d).empty(); }));
        EXPECT_EQ(services.Calls().size(), 1u);
        EXPECT_TRUE(::IsWindowVisible(d.Window()));
    });
}

TEST_F(Hiding, EveryOtherEndOfTheMainWindowShowsTheListedWindowsNewestFirst) {
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
    };
    const Case cases[] = {
        {"a posted WM_QUIT", WM_QUIT, 0},
        {"WM_ENDSESSION for a log-off", WM_ENDSESSION, TRUE},
    };
    for (const Case& c : cases) {
        test::FakeWindowServices fresh;
        fresh.AddTarget(Target(1), {L"A", icon, nullptr});
        fresh.AddTarget(Target(2), {L"B", icon, nullptr});
        test::WithMainWindow(fresh, store, record, [&](Driver& d) {
            HideWithKeyOver(d, fresh, {Target(1), Target(2)});
            ::PostMessageW(d.Window(), WM_ENDSESSION, FALSE, 0);  // a log-off that was called off
            ::PostMessageW(d.Window(), c.message, c.wParam, 0);
            EXPECT_TRUE(d.Ended(10000)) << c.what;
        });
        // A quit message goes on to the loop outside the dialog's: take it,
        // whatever else this case found.
        MSG quit;
        ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_EQ(fresh.Requests(), (std::vector<std::string>{"hide 1", "hide 2", "show 2", "show 1", "front 2"}))
            << c.what;
        EXPECT_TRUE(record.m_entries.empty()) << c.what;
    }
}

TEST_F(Hiding, SetUpRegistersTheHideKeyWithoutRepeatsAndWatchesTheKeyboardForTheShowKey) {
    WithMainWindow([&](Driver& d) {
        EXPECT_EQ(services.Registered().count(HOTKEY_SHOW_SELF), 0u) << "Control+Tab stays free for every program";
        ASSERT_EQ(services.Registered().count(HOTKEY_HIDE_UNDER_CURSOR), 1u);
        EXPECT_EQ(services.Registered().at(HOTKEY_HIDE_UNDER_CURSOR), (std::pair<UINT, UINT>{MOD_NOREPEAT, 0xC0}));
        const auto watch = services.KeyboardWatchState();
        EXPECT_EQ(watch.window, d.Window());
        EXPECT_TRUE(watch.watching);

        // A release the watch missed (the secure desktop had the keyboard)
        // holds no modifier for good: the Windows key below went up unseen,
        // a while before the double press.
        services.SetClock(8'000);
        Key(d, VK_LWIN, true);

        // A double press: the first passes, and once it is released Control+Tab
        // is held for the second, which shows the window.
        const auto armed = [&] { return services.Registered().count(HOTKEY_SHOW_SELF) == 1; };
        ::ShowWindow(d.Window(), SW_HIDE);
        services.SetClock(10'000);
        services.SetKeyDown(VK_LCONTROL, true);
        Key(d, VK_LCONTROL, true);
        Key(d, VK_TAB, true);
        EXPECT_FALSE(armed()) << "not while the first press is held";
        services.SetClock(10'100);
        Key(d, VK_TAB, false);
        ASSERT_TRUE(armed());
        EXPECT_EQ(services.Registered().at(HOTKEY_SHOW_SELF), (std::pair<UINT, UINT>{MOD_CONTROL | MOD_NOREPEAT, VK_TAB}));
        services.SetClock(10'300);
        HotKeyDown(d, HOTKEY_SHOW_SELF);
        EXPECT_TRUE(::IsWindowVisible(d.Window()));
        EXPECT_FALSE(armed()) << "held only for the moment";
        Key(d, VK_TAB, true);  // the watch sees the same press after the hotkey took it
        Key(d, VK_TAB, false);
        EXPECT_FALSE(armed()) << "a third press starts afresh";

        // A hotkey message that nothing armed does nothing.
        ::ShowWindow(d.Window(), SW_HIDE);
        HotKeyDown(d, HOTKEY_SHOW_SELF);
        EXPECT_FALSE(::IsWindowVisible(d.Window()));

        // The armed moment ends half a second after the first press, by itself.
        services.SetClock(20'000);
        Key(d, VK_TAB, true);
        services.SetClock(20'050);
        Key(d, VK_TAB, false);
        ASSERT_TRUE(armed());
        // Its timer's message posted by another program before then ends nothing.
        ::SendMessageW(d.Window(), WM_TIMER, hider::Hotkeys::kArmTimerId, 0);
        EXPECT_TRUE(armed()) << "a timer message before its time";
        services.SetClock(20'500);
        EXPECT_TRUE(test::WaitFor([&] { return !armed(); }));

        // A watch running behind (a loaded machine) still sees a double press
        // made in time, though too late to keep its second press.
        ::ShowWindow(d.Window(), SW_HIDE);
        services.SetClock(30'000);
        Key(d, VK_TAB, true);
        services.SetClock(30'700, 30'050);
        Key(d, VK_TAB, false);
        EXPECT_FALSE(armed()) << "the moment is over: nothing to keep";
        services.SetClock(30'750, 30'200);
        Key(d, VK_TAB, true);
        EXPECT_TRUE(::IsWindowVisible(d.Window()));
        Key(d, VK_TAB, false);
        Key(d, VK_LCONTROL, false);
    });
    EXPECT_TRUE(services.KeyboardWatchState().ended) << "the watch goes with the window";
}

TEST_F(Hiding, AHeldHideKeyHidesOneWindowUntilTheKeyIsReleased) {
    for (int n = 1; n <= 6; ++n) {
        services.AddTarget(Target(n), {L"w" + std::to_wstring(n), icon, nullptr});
    }
    WithMainWindow([&](Driver& d, CHiderDlg& dialog) {
        // Auto-repeat: the watch sees each repeat go down, each message over
        // the window then under the pointer.
        for (int n = 1; n <= 3; ++n) {
            services.SetPointer({0, 0}, Target(n));
            Key(d, 0xC0, true);
            HotKeyDown(d, HOTKEY_HIDE_UNDER_CURSOR);
        }
        EXPECT_EQ(Titles(d), (std::vector<std::wstring>{L"w1"}));

        Key(d, 0xC0, false);
        Key(d, 0xC0, true);
        HotKeyDown(d, HOTKEY_HIDE_UNDER_CURSOR);
        EXPECT_EQ(Titles(d), (std::vector<std::wstring>{L"w3", L"w1"})) << "a new press after the release";

        // A message the watch saw no key-down for (an elevated program in
        // front) waits a moment for one, then is a press it could not see.
        services.SetPointer({0, 0}, Target(2));
        HotKeyDown(d, HOTKEY_HIDE_UNDER_CURSOR);
        EXPECT_EQ(Titles(d).size(), 2u) << "not at once";
        services.SetClock(1'000'000 + hider::HideKeyPresses::kPairingWindowMs);
        EXPECT_TRUE(test::WaitFor([&] { return Titles(d).size() == 3u; }));
        EXPECT_EQ(Titles(d).front(), L"w2");
        // The key is still down for the watch since w3: its release was
        // missed (it went up in an elevated program that came to the front).
        // A press later than a held key's repeats would come is a press.
        services.SetPointer({0, 0}, Target(4));
        services.SetClock(1'002'000);
        Key(d, 0xC0, true);
        HotKeyDown(d, HOTKEY_HIDE_UNDER_CURSOR);
        EXPECT_EQ(Titles(d).front(), L"w4");
        Key(d, 0xC0, false);

        // Once the hide-key changes, its own key is the one followed.
        bool changed = false;
        d.OnDialogThread([&] { changed = dialog.TryHideKey('X', HOTKEYF_ALT); });
        ASSERT_TRUE(changed);
        services.SetPointer({0, 0}, Target(5));
        Key(d, 'X', true);
        HotKeyDown(d, HOTKEY_HIDE_UNDER_CURSOR);
        EXPECT_EQ(Titles(d).front(), L"w5");
        services.SetPointer({0, 0}, Target(6));
        Key(d, 0xC0, false);
        Key(d, 'X', true);
        HotKeyDown(d, HOTKEY_HIDE_UNDER_CURSOR);
        EXPECT_EQ(Titles(d).front(), L"w5") << "the old key's release ends nothing";
        Key(d, 'X', false);
        Key(d, 'X', true);
        HotKeyDown(d, HOTKEY_HIDE_UNDER_CURSOR);
        EXPECT_EQ(Titles(d).front(), L"w6");
    });
}

TEST_F(Hiding, APostedDestroyReleasesNothingTheRealEndReleasesAll) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1)});
        // Any program can post them; the window's own posted message after
        // them shows when they were handled.
        ::ShowWindow(d.Window(), SW_HIDE);
        ::PostMessageW(d.Window(), WM_DESTROY, 0, 0);
        ::PostMessageW(d.Window(), WM_NCDESTROY, 0, 0);
        // A double Control+Tab, as the watch posts it.
        services.SetKeyDown(VK_LCONTROL, true);
        static constexpr platform::KeyEvent kDoublePress[] = {
            {VK_LCONTROL, true}, {VK_TAB, true}, {VK_TAB, false}, {VK_TAB, true}};
        for (const platform::KeyEvent& event : kDoublePress) {
            ::PostMessageW(d.Window(), WM_INPUT, RIM_INPUTSINK, reinterpret_cast<LPARAM>(&event));
        }
        ASSERT_TRUE(test::WaitFor([&] { return ::IsWindowVisible(d.Window()) != FALSE; }));
        EXPECT_EQ(services.Registered().count(HOTKEY_HIDE_UNDER_CURSOR), 1u);
        EXPECT_TRUE(services.KeyboardWatchState().watching);
        EXPECT_EQ(Titles(d), std::vector<std::wstring>{L"A"}) << "the hidden window stays hidden and listed";
        EXPECT_EQ(services.Calls().size(), 1u);
        ::PostMessageW(d.Window(), WM_COMMAND, ID_EXIT, 0);
        EXPECT_TRUE(d.Ended(10000));
    });
    EXPECT_TRUE(services.Registered().empty());
    EXPECT_TRUE(services.KeyboardWatchState().ended) << "the watch goes with the window";
}

// Whether the last WM_SETCURSOR was answered without the default processing,
// which would set the window's own cursor again.
class CursorProbe final : public CHiderDlg {
public:
    using CHiderDlg::CHiderDlg;
    std::atomic<int> cursorKept{-1};

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        const bool handled = CHiderDlg::OnWndMsg(message, wParam, lParam, pResult);
        if (message == WM_SETCURSOR) {
            cursorKept = handled && *pResult == TRUE ? 1 : 0;
        }
        return handled;
    }
};

// The finder drag's ends, with the window manager's messages sent as it
// sends them: a press on the finder, then the release or a loss of capture.
TEST_F(Hiding, ADragEndsWithAHideOnlyOnItsReleaseAtThePointersPlace) {
    struct Way {
        const char* name;
        UINT message;  // what ends the drag
        std::vector<std::string> requests;
    };
    const Way ways[] = {
        {"released", WM_LBUTTONUP, {"hide 1"}},
        {"capture taken by another window", WM_CAPTURECHANGED, {}},
        {"cancelled by the system (a dialog came up)", WM_CANCELMODE, {}},
        {"F1: the guide opens only once the drag is over", WM_HELP, {}},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        test::FakeWindowServices fresh;
        fresh.AddTarget(Target(1), {L"A", icon, nullptr});
        CursorProbe dialog(fresh, store, record);
        test::RunMainWindow(dialog, [&](Driver& d) {
            const WPARAM self = reinterpret_cast<WPARAM>(d.Window());
            const LPARAM overClient = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
            ::SendMessageW(d.Window(), WM_SETCURSOR, self, overClient);
            EXPECT_EQ(dialog.cursorKept, 0) << "no drag: the window's own cursor";
            const LPARAM onFinder = OnFinder(d);
            ::SendMessageW(d.Window(), WM_LBUTTONDOWN, MK_LBUTTON, onFinder);
            EXPECT_FALSE(::IsWindowVisible(d.Window())) << "steps aside for the drag";
            // The finder cursor, and it stays while the drag lasts.
            const HCURSOR finderCursor =
                ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_FINDER_CURSOR));
            EXPECT_EQ(fresh.CursorShape(), finderCursor);
            fresh.SetCursorShape(nullptr);
            ::SendMessageW(d.Window(), WM_SETCURSOR, self, overClient);
            EXPECT_EQ(fresh.CursorShape(), finderCursor);
            EXPECT_EQ(dialog.cursorKept, 1);

            // The message's point is the finder's; the pointer is over the target.
            fresh.SetPointer({500, 500}, Target(1));
            ::SendMessageW(d.Window(), way.message, 0, way.message == WM_LBUTTONUP ? onFinder : 0);
            EXPECT_TRUE(::IsWindowVisible(d.Window())) << "back after the drag";
            // A release after a lost capture is an ordinary click: it hides nothing.
            ::SendMessageW(d.Window(), WM_LBUTTONUP, 0, onFinder);
            EXPECT_EQ(fresh.Requests(), way.requests);
        });
    }
}

// A press another program posts on the finder leaves the left button up in
// the input: no drag starts, and the user's next click, anywhere, hides nothing.
TEST_F(Hiding, APressWhileTheLeftButtonIsUpStartsNoDrag) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        services.SetLeftButton(false);
        ::SendMessageW(d.Window(), WM_LBUTTONDOWN, MK_LBUTTON, OnFinder(d));
        EXPECT_TRUE(::IsWindowVisible(d.Window())) << "no drag to step aside for";
        services.SetPointer({500, 500}, Target(1));
        ::SendMessageW(d.Window(), WM_LBUTTONUP, 0, OnFinder(d));
        EXPECT_TRUE(services.Requests().empty());
    });
}

// The set-up's result is the hide-key's registration: with it the dialog
// manager gives the list the focus, without it no control gets it at set-up.
class SetUpProbe final : public CHiderDlg {
public:
    using CHiderDlg::CHiderDlg;
    BOOL setUpResult = -1;

protected:
    BOOL OnInitDialog() override { return setUpResult = CHiderDlg::OnInitDialog(); }
};

TEST_F(Hiding, TheSetUpResultIsTheHideKeysRegistration) {
    for (bool refused : {false, true}) {
        if (refused) {
            services.RefuseHotKey(HOTKEY_HIDE_UNDER_CURSOR);
        }
        SetUpProbe dialog(services, store, record);
        test::RunMainWindow(dialog, [&](Driver& d) {
            EXPECT_EQ(services.KeyboardWatchState().window, d.Window());
            EXPECT_EQ(services.Registered().count(HOTKEY_HIDE_UNDER_CURSOR), refused ? 0u : 1u);
            EXPECT_TRUE(::IsWindowVisible(d.Window())) << "Veilkeeper runs on without a hide-key";
        });
        EXPECT_EQ(dialog.setUpResult, refused ? FALSE : TRUE) << refused;
    }
}

// The list notifies on the dialog's thread. The same notification sent from
// another thread carries a pointer that is not the dialog's to read.
TEST_F(Hiding, AListNotificationFromAnotherThreadIsIgnored) {
    services.AddTarget(Target(1), {L"A", icon, nullptr});
    WithMainWindow([&](Driver& d) {
        HideWithKeyOver(d, {Target(1)});
        HWND list = d.Item(IDC_HIDDEN_LIST);
        ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
        NMITEMACTIVATE click{};
        click.hdr = {list, IDC_HIDDEN_LIST, static_cast<UINT>(NM_DBLCLK)};

        ::SendMessageW(d.Window(), WM_NOTIFY, IDC_HIDDEN_LIST, reinterpret_cast<LPARAM>(&click));
        EXPECT_EQ(Titles(d).size(), 1u);
        EXPECT_EQ(services.Calls().size(), 1u) << "only the hide";

        d.Notify(click.hdr);
        EXPECT_TRUE(Titles(d).empty()) << "from the dialog's own thread it is the list's";
    });
}

}  // namespace
