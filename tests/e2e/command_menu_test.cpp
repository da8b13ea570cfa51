// The ">>" button's menu with real input. Another process's menu items cannot
// be read under Wine; the entries are checked in-process, and here the menu is
// driven by keyboard as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "child_process.h"
#include "input.h"
#include "poll.h"
#include "remote_list_view.h"
#include "system_directory.h"
#include "veilkeeper_session.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;

constexpr int kMenuButtonId = 1006;
constexpr WORD kHideKey = 0xC0;

HWND OpenMenuWithClick(HWND main) {
    RECT button{};
    ::GetWindowRect(::GetDlgItem(main, kMenuButtonId), &button);
    test::Click(test::CentreOf(button));
    HWND menu = nullptr;
    PollUntil([&] {
        menu = ::FindWindowW(L"#32768", nullptr);
        return menu != nullptr && ::IsWindowVisible(menu);
    });
    return menu;
}

TEST(CommandMenuE2E, ExitShowsEveryHiddenWindowEndsAndFreesTheHotkeys) {
    ASSERT_TRUE(test::InstallInstanceLibrary(L"Onecopy.dll"));
    test::ChildProcess veilkeeper = test::StartVeilkeeper();
    HWND main = test::FirstDialogOf(veilkeeper);
    ASSERT_TRUE(test::IsMainWindow(main));
    test::RemoteListView list(::GetDlgItem(main, test::kHiddenListId));

    test::TargetProgram first = test::StartTarget(L"一", 20, 20);
    test::TargetProgram second = test::StartTarget(L"二", 20, 300);
    for (HWND window : {first.window, second.window}) {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        test::MovePointer(test::CentreOf(rect));
        test::PressKeys({kHideKey});
        ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(window); }));
    }
    ASSERT_TRUE(PollUntil([&] { return list.Count() == 2; }));
    EXPECT_FALSE(::RegisterHotKey(nullptr, 1, MOD_CONTROL, VK_TAB)) << "Veilkeeper holds Control+Tab";

    // Esc closes the menu and runs nothing.
    HWND menu = OpenMenuWithClick(main);
    ASSERT_NE(menu, nullptr);
    RECT button{};
    RECT shown{};
    ::GetWindowRect(::GetDlgItem(main, kMenuButtonId), &button);
    ::GetWindowRect(menu, &shown);
    EXPECT_EQ(shown.left, button.right);
    EXPECT_EQ(shown.top, button.top);
    test::PressKeys({VK_ESCAPE});
    EXPECT_TRUE(PollUntil([&] { return !::IsWindowVisible(menu); }));
    EXPECT_FALSE(veilkeeper.WaitForExit(500ms));
    EXPECT_EQ(list.Count(), 2);

    // Exit, the last entry.
    ASSERT_NE(OpenMenuWithClick(main), nullptr);
    test::PressKeys({VK_UP});
    test::PressKeys({VK_RETURN});
    EXPECT_TRUE(veilkeeper.WaitForExit(10s));
    EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(first.window) && ::IsWindowVisible(second.window); }));

    EXPECT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL, VK_TAB)) << "released when Veilkeeper ended";
    ::UnregisterHotKey(nullptr, 1);
}

}  // namespace
