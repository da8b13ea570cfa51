// Veilkeeper driven by the keyboard alone, with real input: hide-key, double
// Control+Tab, Enter gives the last hidden window back, in front; the window
// menu by Shift+F10; the rest of the main window by Tab, Space, Enter and Esc.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "input.h"
#include "poll.h"
#include "resource.h"
#include "veilkeeper_session.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;

class KeyboardUse : public test::VeilkeeperRunning {
protected:
    // Each hidden before the next starts, so none covers another's place.
    std::vector<test::TargetProgram> HideNew(std::initializer_list<const wchar_t*> titles) {
        std::vector<test::TargetProgram> targets;
        for (const wchar_t* title : titles) {
            targets.push_back(test::StartTarget(title, 20, 20));
            Hide(targets.back().window);
        }
        return targets;
    }
    HWND Item(int id) const { return ::GetDlgItem(main, id); }
    // Control+Tab twice, as a user brings Veilkeeper back; whether it came,
    // in front, with the keyboard on its list.
    bool BringBack() {
        test::PressKeys({VK_CONTROL, VK_TAB});
        test::PressKeys({VK_CONTROL, VK_TAB});
        return PollUntil([&] { return ::GetForegroundWindow() == main && Focus() == Item(IDC_HIDDEN_LIST); });
    }
    static LRESULT WindowMenuRequestsOf(const test::TargetProgram& target) {
        return test::AnswerOf(target.window, test::kWindowMenuRequestCount).value_or(0);
    }
};

TEST_F(KeyboardUse, HiddenByKeyGivenBackByKeyAndInFront) {
    std::vector<test::TargetProgram> targets = HideNew({L"甲", L"乙", L"丙"});
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));

    ASSERT_TRUE(BringBack());
    // In front and with the keyboard on its list a moment before its row is chosen.
    EXPECT_TRUE(PollUntil([&] { return list->SelectedRow() == 0; })) << "the newest row is ready";
    test::PressKeys({VK_RETURN});
    EXPECT_TRUE(PollUntil([&] { return Visible(targets[2].window) && ::GetForegroundWindow() == targets[2].window; }))
        << "the newest is back, in front and active";
    EXPECT_TRUE(Rows(2));
    EXPECT_TRUE(PollUntil([&] { return !Visible(main); })) << "the option hides Veilkeeper after a restore";

    ASSERT_TRUE(BringBack());
    test::PressKeys({VK_DOWN});
    ASSERT_TRUE(PollUntil([&] { return list->SelectedRow() == 1; }));
    test::PressKeys({VK_RETURN});
    EXPECT_TRUE(PollUntil([&] { return Visible(targets[0].window) && ::GetForegroundWindow() == targets[0].window; }));
    EXPECT_TRUE(Rows(1));
    EXPECT_FALSE(Visible(targets[1].window));
}

TEST_F(KeyboardUse, TheContextMenuKeyAndShiftF10AskTheSelectedRowsWindowForItsWindowMenu) {
    std::vector<test::TargetProgram> targets = HideNew({L"窗口菜单"});
    test::AnswerOf(Item(IDC_HIDE_SELF_AFTER_SHOW), BM_CLICK);
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));
    ASSERT_TRUE(BringBack());
    test::PressKeys({VK_APPS});
    EXPECT_TRUE(PollUntil([&] { return WindowMenuRequestsOf(targets[0]) == 1; })) << "the context-menu key";
    test::PressKeys({VK_SHIFT, VK_F10});
    EXPECT_TRUE(PollUntil([&] { return WindowMenuRequestsOf(targets[0]) == 2; })) << "Shift+F10";
    EXPECT_EQ(list->Count(), 1) << "the row stays";
}

TEST_F(KeyboardUse, ExitLeavesTheNewestInFront) {
    std::vector<test::TargetProgram> targets = HideNew({L"一", L"二", L"三"});
    ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));
    EXPECT_TRUE(PollUntil([&] {
        return Visible(targets[0].window) && Visible(targets[1].window) && Visible(targets[2].window) &&
               ::GetForegroundWindow() == targets[2].window;
    })) << "in front: " << test::Described(::GetForegroundWindow()) << "; the newest: "
        << test::Described(targets[2].window);
}

TEST_F(KeyboardUse, AHungWindowsRestoreByEnterNeverStallsVeilkeeper) {
    std::vector<test::TargetProgram> targets = HideNew({L"不响应"});
    test::AnswerOf(Item(IDC_HIDE_SELF_AFTER_SHOW), BM_CLICK);
    ASSERT_TRUE(test::Hang(targets[0]));
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));
    ASSERT_TRUE(BringBack());

    test::PressKeys({VK_RETURN});
    EXPECT_TRUE(Rows(0));
    EXPECT_TRUE(test::Answers(main, 1000));
    test::Resume(targets[0]);
    EXPECT_TRUE(PollUntil([&] { return Visible(targets[0].window); })) << "it comes back once it runs again";
}

TEST_F(KeyboardUse, TabSpaceEnterAndEscWorkTheWindowAsAKeyboardUserExpects) {
    ::SetForegroundWindow(main);
    ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == main; }));
    ::PostMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_HIDDEN_LIST)), TRUE);
    ASSERT_TRUE(PollUntil([&] { return Focus() == Item(IDC_HIDDEN_LIST); }));

    // Tab goes round the controls in their order; the finder takes no focus.
    for (int id : {IDC_INVISIBLE_ON_DROP, IDC_MENU_BUTTON, IDC_HIDE_SELF_AFTER_SHOW, IDC_HIDDEN_LIST}) {
        test::PressKeys({VK_TAB});
        EXPECT_TRUE(PollUntil([&] { return Focus() == Item(id); })) << "Tab to control " << id;
    }

    // Space turns an option off and on again, as its click does.
    test::PressKeys({VK_TAB});
    ASSERT_TRUE(PollUntil([&] { return Focus() == Item(IDC_INVISIBLE_ON_DROP); }));
    test::PressKeys({VK_SPACE});
    EXPECT_TRUE(PollUntil([&] { return test::AnswerOf(Item(IDC_INVISIBLE_ON_DROP), BM_GETCHECK) == BST_UNCHECKED; }));
    test::PressKeys({VK_SPACE});
    EXPECT_TRUE(PollUntil([&] { return test::AnswerOf(Item(IDC_INVISIBLE_ON_DROP), BM_GETCHECK) == BST_CHECKED; }));

    // The ">>" button opens its menu by Space and by Enter; Esc closes it.
    test::PressKeys({VK_TAB});
    ASSERT_TRUE(PollUntil([&] { return Focus() == Item(IDC_MENU_BUTTON); }));
    for (WORD key : {WORD{VK_SPACE}, WORD{VK_RETURN}}) {
        test::PressKeys({key});
        HWND menu = nullptr;
        EXPECT_TRUE(PollUntil([&] { return (menu = ::FindWindowW(L"#32768", nullptr)) != nullptr && Visible(menu); }))
            << "key " << key;
        test::PressKeys({VK_ESCAPE});
        EXPECT_TRUE(PollUntil([&] { return menu == nullptr || !Visible(menu); }));
        ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == main; }));
    }

    // Esc hides the window; the program runs on.
    test::PressKeys({VK_ESCAPE});
    EXPECT_TRUE(PollUntil([&] { return !Visible(main); }));
    EXPECT_TRUE(veilkeeper->Running());
}

}  // namespace
