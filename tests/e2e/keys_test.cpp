// The keys with real input: Control+Tab stays with the focused program unless
// pressed twice quickly, a held key counts once, the hotkeys outlive a posted
// WM_DESTROY and come back with a new run, and a hide-key that cannot be had
// is refused.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "held_hotkey.h"
#include "input.h"
#include "poll.h"
#include "remote_list_view.h"
#include "resource.h"
#include "user_settings.h"
#include "veilkeeper_session.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;
using Clock = std::chrono::steady_clock;

class Keys : public test::VeilkeeperRunning {
protected:
    // Veilkeeper hidden, and a program with the keyboard focus.
    void HideVeilkeeperAndFocus(test::TargetProgram& target) {
        ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));
        test::Click(CentreOfWindow(target.edit));
        ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == target.window; }));
    }
    static LRESULT ControlTabsOf(const test::TargetProgram& target) {
        return test::AnswerOf(target.window, test::kControlTabCount).value_or(0);
    }
    static bool StaysSo(const std::function<bool()>& condition) {
        return !PollUntil([&] { return !condition(); }, 1s);
    }
    // The pace of the input itself, not a wait for a result.
    static void WaitUntil(Clock::time_point when) {
        PollUntil([&] { return Clock::now() >= when; }, 5s);
    }
};

TEST_F(Keys, SingleControlTabPressesReachTheFocusedProgramAndShowNothing) {
    test::TargetProgram target = test::StartTarget(L"标签页", 20, 20);
    HideVeilkeeperAndFocus(target);
    for (LRESULT n = 1; n <= 3; ++n) {
        const auto pressed = Clock::now();
        test::PressKeys({VK_CONTROL, VK_TAB});
        EXPECT_TRUE(PollUntil([&] { return ControlTabsOf(target) == n; })) << "press " << n;
        WaitUntil(pressed + 1s);
    }
    EXPECT_FALSE(Visible(main));
}

TEST_F(Keys, TwoPressesWithin200MsShowVeilkeeperAndOnlyTheFirstReachesTheProgram) {
    test::TargetProgram target = test::StartTarget(L"标签页", 20, 20);
    HideVeilkeeperAndFocus(target);
    const auto first = Clock::now();
    test::PressKeys({VK_CONTROL, VK_TAB});
    WaitUntil(first + 200ms);
    test::PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(PollUntil([&] { return Visible(main); }));
    EXPECT_TRUE(PollUntil([&] { return ControlTabsOf(target) == 1; }));
    EXPECT_TRUE(StaysSo([&] { return ControlTabsOf(target) == 1; })) << "the second press was kept";
}

TEST_F(Keys, AHeldControlTabRepeatsIntoTheProgramAndShowsNothing) {
    test::TargetProgram target = test::StartTarget(L"标签页", 20, 20);
    HideVeilkeeperAndFocus(target);
    test::KeyDown(VK_CONTROL);
    for (int repeat = 0; repeat < 5; ++repeat) {
        test::KeyDown(VK_TAB);
    }
    test::KeyUp(VK_TAB);
    test::KeyUp(VK_CONTROL);
    EXPECT_TRUE(PollUntil([&] { return ControlTabsOf(target) == 5; })) << "as without Veilkeeper";
    EXPECT_TRUE(StaysSo([&] { return !Visible(main); }));
}

TEST_F(Keys, AHeldHideKeyHidesOneWindowOfAStack) {
    std::vector<test::TargetProgram> stack;
    for (const wchar_t* title : {L"下", L"中", L"上"}) {
        stack.push_back(test::StartTarget(title, 20, 20));
        ASSERT_NE(stack.back().window, nullptr);
    }
    ASSERT_TRUE(test::PointAt(stack.back().window));
    for (int repeat = 0; repeat < 4; ++repeat) {
        test::KeyDown(test::kDefaultHideKey);
    }
    test::KeyUp(test::kDefaultHideKey);
    ASSERT_TRUE(PollUntil([&] { return list->Count() == 1; }));
    EXPECT_TRUE(StaysSo([&] { return list->Count() == 1; }));
    EXPECT_EQ(list->Text(0), L"上");
    EXPECT_TRUE(Visible(stack[0].window) && Visible(stack[1].window));

    // Released, the key hides again: the next window, once the top one has
    // gone from over it.
    ASSERT_TRUE(PollUntil([&] { return !Visible(stack[2].window); }));
    test::PressKeys({test::kDefaultHideKey});
    EXPECT_TRUE(PollUntil([&] { return list->Count() == 2; }));
}

// A hung window hidden and given back by double-click, with another, while
// Veilkeeper stays up: the next press of the hide-key hides, and so does a
// quick second one, whenever the hung window answers again.
TEST_F(Keys, EveryHideKeyPressCountsAfterAHungWindowCameBack) {
    // As a hand presses it: the window goes while the key is down.
    const auto handPress = [&](HWND window, int rowsAfter) {
        ASSERT_TRUE(test::PointAt(window));
        test::KeyDown(test::kDefaultHideKey);
        EXPECT_TRUE(Rows(rowsAfter)) << "one press, one hide";
        test::KeyUp(test::kDefaultHideKey);
    };
    // The newest row's window back; Veilkeeper steps aside, and is shown
    // again without taking the activation. A click brings it to the front
    // first: under Wine, with no window in front, a double-click on it was
    // now and then lost (seen).
    const auto restoreNewest = [&](int rowsAfter) {
        const POINT row = test::CentreOf(list->RowOnScreen(0));
        test::Click(row);
        const auto clicked = Clock::now();
        ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == main; }));
        WaitUntil(clicked + std::chrono::milliseconds(::GetDoubleClickTime()));  // no double-click with it
        test::DoubleClick(row);
        ASSERT_TRUE(Rows(rowsAfter));
        ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));
        ::ShowWindowAsync(main, SW_SHOWNA);
        ASSERT_TRUE(PollUntil([&] { return Visible(main); }));
    };
    enum class AnswersAgain { AfterTheHides, AfterTheRestores, Never };
    for (const AnswersAgain answers :
         {AnswersAgain::Never, AnswersAgain::AfterTheHides, AnswersAgain::AfterTheRestores}) {
        SCOPED_TRACE(testing::Message() << "answers again: case " << static_cast<int>(answers));
        test::TargetProgram hung = test::StartTarget(L"不响应的程序", 20, 20);
        test::TargetProgram answering = test::StartTarget(L"answering", 20, 300);
        ASSERT_TRUE(test::Hang(hung));
        // Veilkeeper in front while it hides them: hiding the window in front
        // would hand the activation to the hung one, which Wine then cannot
        // take back from it for Veilkeeper's own click (seen).
        test::Click(CentreOfWindow(::GetDlgItem(main, test::kHiddenListId)));
        ASSERT_TRUE(PollUntil([&] { return ::GetForegroundWindow() == main; }));
        handPress(hung.window, 1);
        handPress(answering.window, 2);
        if (answers == AnswersAgain::AfterTheHides) {
            test::Resume(hung);
        }
        ASSERT_NO_FATAL_FAILURE(restoreNewest(1));
        ASSERT_NO_FATAL_FAILURE(restoreNewest(0));
        if (answers == AnswersAgain::AfterTheRestores) {
            test::Resume(hung);
        }

        // Beside Veilkeeper's window, which stays up in the middle.
        test::TargetProgram fresh = test::StartTarget(L"新窗口", 20, 600);
        test::TargetProgram next = test::StartTarget(L"再一个", 900, 600);
        handPress(fresh.window, 1);
        handPress(next.window, 2);
        ASSERT_NO_FATAL_FAILURE(restoreNewest(1));
        ASSERT_NO_FATAL_FAILURE(restoreNewest(0));
        if (answers == AnswersAgain::Never) {
            test::Resume(hung);
        }
    }
}

TEST_F(Keys, APostedDestroyLeavesBothKeysWorking) {
    test::TargetProgram target = test::StartTarget(L"目标", 20, 20);
    // Posted messages are handled in order: the keys below come after it.
    ::PostMessageW(main, WM_DESTROY, 0, 0);
    HideWithKeyOver(target.window);
    EXPECT_TRUE(PollUntil([&] { return !Visible(target.window); }));

    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));
    test::PressKeys({VK_CONTROL, VK_TAB});
    test::PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(PollUntil([&] { return Visible(main); }));
    EXPECT_TRUE(veilkeeper->Running());
}

// A new run sets the keyboard watch and both hotkeys up afresh: after an end
// without Exit, and its windows listed again, both keys work as before.
TEST_F(Keys, AfterAKillAndAStartBothKeysWorkAgain) {
    test::TargetProgram first = test::StartTarget(L"第一个", 20, 20);
    test::TargetProgram second = test::StartTarget(L"第二个", 20, 300);
    HideWithKeyOver(first.window);
    ASSERT_TRUE(PollUntil([&] { return list->Count() == 1; }));
    veilkeeper->Kill();
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));
    StartAgain();
    ASSERT_TRUE(PollUntil([&] { return list->Count() == 1; })) << "listed again";

    HideWithKeyOver(second.window);
    EXPECT_TRUE(PollUntil([&] { return !Visible(second.window) && list->Count() == 2; }));
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));
    test::PressKeys({VK_CONTROL, VK_TAB});
    test::PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(PollUntil([&] { return Visible(main); }));
}

TEST_F(Keys, AKeyAnotherProgramHoldsIsRefusedAndTheOldKeyStays) {
    const test::HeldHotKey controlF8(MOD_CONTROL, VK_F8);
    ASSERT_TRUE(controlF8.Held()) << "this test holds Control+F8";
    test::TargetProgram target = test::StartTarget(L"目标", 20, 20);

    ::PostMessageW(main, WM_COMMAND, test::kSetHotKeyCommand, 0);
    HWND dialog = test::WaitForVisibleDialog(L"快捷键设定");
    ASSERT_NE(dialog, nullptr);
    test::AnswerOf(::GetDlgItem(dialog, IDC_HOTKEY), HKM_SETHOTKEY, MAKEWORD(VK_F8, HOTKEYF_CONTROL));
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);

    HWND message = test::WaitForOwnedWindow(dialog);
    ASSERT_NE(message, nullptr) << "a message says the key cannot be used";
    const auto texts = test::StaticTextsOf(message);
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::wstring(L"该快捷键无法使用，请另选一个。")), texts.end());
    ::PostMessageW(message, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindow(message); }));
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }));
    // The old key is registered again once the dialog's run is over, a moment
    // after its window went.
    ASSERT_TRUE(test::HeldBySomeone(0, test::kDefaultHideKey));

    HideWithKeyOver(target.window);
    EXPECT_TRUE(PollUntil([&] { return !Visible(target.window); })) << "the old key still hides";
    EXPECT_FALSE(test::StoredDword(L"VirtualKey").has_value()) << "nothing written";
    EXPECT_FALSE(test::StoredDword(L"Modifiers").has_value()) << "nothing written";
}

TEST_F(Keys, ADragWhoseCaptureIsTakenAwayHidesNothingAndVeilkeeperComesBack) {
    test::TargetProgram target = test::StartTarget(L"拖放目标", 20, 20);
    test::MovePointer(CentreOfWindow(::GetDlgItem(main, IDC_FINDER)));
    test::LeftDown();
    ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));

    // What the system sends when a dialog comes up or the secure desktop
    // takes the input.
    test::AnswerOf(main, WM_CANCELMODE);
    EXPECT_TRUE(PollUntil([&] { return Visible(main); })) << "back when the drag ends";

    test::MovePointer(CentreOfWindow(target.edit));
    test::LeftUp();
    test::Click(CentreOfWindow(target.edit));
    EXPECT_TRUE(StaysSo([&] { return Visible(target.window); }));
    EXPECT_EQ(list->Count(), 0);
}

}  // namespace
