// The ">>" button's menu with real input. Another process's menu items cannot
// be read under Wine; the entries are checked in-process, and here the menu is
// driven by keyboard as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "child_process.h"
#include "held_hotkey.h"
#include "input.h"
#include "poll.h"
#include "remote_list_view.h"
#include "resource.h"
#include "system_directory.h"
#include "veilkeeper_session.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;

class CommandMenuE2E : public test::VeilkeeperRunning {};

TEST_F(CommandMenuE2E, ExitShowsEveryHiddenWindowEndsAndFreesTheHotkeys) {
    test::TargetProgram first = test::StartTarget(L"一", 20, 20);
    test::TargetProgram second = test::StartTarget(L"二", 20, 300);
    for (HWND window : {first.window, second.window}) {
        ASSERT_NO_FATAL_FAILURE(Hide(window));
    }
    EXPECT_FALSE(test::IsFree(0, test::kDefaultHideKey)) << "Veilkeeper holds the hide-key";

    // Esc closes the menu and runs nothing.
    HWND menu = OpenCommandMenu();
    ASSERT_NE(menu, nullptr);
    RECT button{};
    RECT shown{};
    ::GetWindowRect(::GetDlgItem(main, test::kMenuButtonId), &button);
    ::GetWindowRect(menu, &shown);
    EXPECT_EQ(shown.left, button.right);
    EXPECT_EQ(shown.top, button.top);
    test::PressKeys({VK_ESCAPE});
    EXPECT_TRUE(PollUntil([&] { return !::IsWindowVisible(menu); }));
    EXPECT_FALSE(veilkeeper->WaitForExit(500ms));
    EXPECT_EQ(list->Count(), 2);

    // Exit, the last entry.
    ASSERT_NE(OpenCommandMenu(), nullptr);
    test::PressKeys({VK_UP});
    test::PressKeys({VK_RETURN});
    EXPECT_TRUE(veilkeeper->WaitForExit(10s));
    EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(first.window) && ::IsWindowVisible(second.window); }));

    EXPECT_TRUE(test::IsFree(0, test::kDefaultHideKey)) << "released when Veilkeeper ended";
}

TEST_F(CommandMenuE2E, ANewHideKeyWorksAtOnceAndAfterARestart) {
    test::TargetProgram target = test::StartTarget(L"快捷键目标", 20, 20);

    ASSERT_NE(OpenCommandMenu(), nullptr);
    test::PressKeys({VK_DOWN});  // the first entry: set hotkey
    test::PressKeys({VK_RETURN});
    HWND dialog = test::WaitForVisibleDialog(L"快捷键设定");
    ASSERT_NE(dialog, nullptr);
    // Keys go to the window in front: shown is not yet ready for them.
    ASSERT_TRUE(PollUntil([&] {
        return ::GetForegroundWindow() == dialog && Focus() == ::GetDlgItem(dialog, IDC_HOTKEY);
    }));
    test::PressKeys({VK_CONTROL, VK_F8});  // typed into the hotkey control
    ASSERT_TRUE(PollUntil([&] {
        return test::AnswerOf(::GetDlgItem(dialog, IDC_HOTKEY), HKM_GETHOTKEY) == MAKEWORD(VK_F8, HOTKEYF_CONTROL);
    }));
    test::PressKeys({VK_RETURN});  // 确认
    ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }));
    ASSERT_TRUE(test::HeldBySomeone(MOD_CONTROL, VK_F8)) << "Veilkeeper took the new key";

    HideWithKeyOver(target.window);
    EXPECT_FALSE(PollUntil([&] { return !Visible(target.window); }, 1s)) << "the old key no longer hides";
    HideWithKeyOver(target.window, {VK_CONTROL, VK_F8});
    EXPECT_TRUE(PollUntil([&] { return !Visible(target.window); }));

    // Exit shows it again; the next start still has the new key.
    ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));
    ASSERT_TRUE(PollUntil([&] { return Visible(target.window); }));
    veilkeeper.emplace(test::StartVeilkeeper());
    main = test::FirstDialogOf(*veilkeeper);
    ASSERT_TRUE(test::IsMainWindow(main));
    HideWithKeyOver(target.window, {VK_CONTROL, VK_F8});
    EXPECT_TRUE(PollUntil([&] { return !Visible(target.window); }));
}

}  // namespace
