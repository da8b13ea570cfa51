// The ">>" button's command menu, opened in-process so its items can be read.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "main_window_run.h"
#include "poll.h"
#include "resource.h"
#include "windows_of.h"

namespace {

using Driver = test::ModalDriver;
using test::WaitFor;

HWND OpenMenu(Driver& d) {
    ::PostMessageW(d.Item(IDC_MENU_BUTTON), BM_CLICK, 0, 0);
    HWND menuWindow = nullptr;
    WaitFor([&] {
        menuWindow = ::FindWindowW(L"#32768", nullptr);
        return menuWindow != nullptr && ::IsWindowVisible(menuWindow);
    });
    return menuWindow;
}

void PressInMenu(HWND menuWindow, UINT key) {
    ::PostMessageW(menuWindow, WM_KEYDOWN, key, 1);
    ::PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000001);
}

class CommandMenu : public test::MainWindowOnFakes {};

TEST_F(CommandMenu, OpensBesideTheButtonWithItsEntriesAndEscRunsNothing) {
    WithMainWindow([&](Driver& d) {
        HWND menuWindow = OpenMenu(d);
        ASSERT_NE(menuWindow, nullptr);

        auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(::GetMenuItemCount(menu), 4);
        const struct {
            const wchar_t* text;
            UINT id;
        } entries[] = {{L"设定快捷键", ID_SET_HOTKEY}, {L"关于Veilkeeper", IDM_ABOUTBOX}, {L"", 0}, {L"退出", ID_EXIT}};
        for (int i = 0; i < 4; ++i) {
            wchar_t text[64] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            EXPECT_STREQ(text, entries[i].text) << i;
            EXPECT_EQ(::GetMenuItemID(menu, i), entries[i].id) << i;
        }
        EXPECT_TRUE(::GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
        EXPECT_EQ(::GetMenuDefaultItem(menu, TRUE, 0), 0u);

        RECT button{};
        RECT shown{};
        ::GetWindowRect(d.Item(IDC_MENU_BUTTON), &button);
        ::GetWindowRect(menuWindow, &shown);
        EXPECT_EQ(shown.left, button.right);
        EXPECT_EQ(shown.top, button.top);

        PressInMenu(menuWindow, VK_ESCAPE);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(menuWindow); }));
        EXPECT_FALSE(d.Ended(300)) << "Esc on the menu runs no command";
        EXPECT_EQ(::FindWindowW(L"#32770", L"关于 Veilkeeper"), nullptr);
    });
}

TEST_F(CommandMenu, AboutOpensTheAboutBox) {
    WithMainWindow([&](Driver& d) {
        HWND menuWindow = OpenMenu(d);
        ASSERT_NE(menuWindow, nullptr);
        PressInMenu(menuWindow, VK_DOWN);  // from the default entry to the next
        PressInMenu(menuWindow, VK_DOWN);
        PressInMenu(menuWindow, VK_RETURN);
        HWND about = test::WaitForVisibleDialog(L"关于 Veilkeeper");
        ASSERT_NE(about, nullptr);
        ::PostMessageW(about, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); }));
    });
}

TEST_F(CommandMenu, ExitEndsTheRun) {
    const INT_PTR result = WithMainWindow([&](Driver& d) {
        HWND menuWindow = OpenMenu(d);
        ASSERT_NE(menuWindow, nullptr);
        PressInMenu(menuWindow, VK_UP);  // wraps to the last entry
        PressInMenu(menuWindow, VK_RETURN);
        EXPECT_TRUE(d.Ended(10000));
    });
    EXPECT_EQ(result, IDOK);
}

}  // namespace
