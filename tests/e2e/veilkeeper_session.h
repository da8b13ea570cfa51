// Starting Veilkeeper and the programs whose windows it hides, for the
// black-box tests.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "child_process.h"
#include "remote_list_view.h"
#include "resource.h"
#include "target_messages.h"
#include "user_settings.h"  // kDefaultHideKey

namespace test {

// The program's own identifiers, under the names the tests use.
inline constexpr int kHiddenListId = IDC_HIDDEN_LIST;
inline constexpr UINT kExitCommand = ID_EXIT;
inline constexpr UINT kSetHotKeyCommand = ID_SET_HOTKEY;
inline constexpr int kMenuButtonId = IDC_MENU_BUTTON;
inline constexpr UINT kHelpCommand = 0xE146;  // ID_HELP, what F1 asks for

ChildProcess StartVeilkeeper();
// The first dialog-class window the process shows (its main window or a
// message box); none when it shows none in time.
HWND FirstDialogOf(const ChildProcess& process);
bool IsMainWindow(HWND window);

// A program with one top-level window, filled by an edit control.
struct TargetProgram {
    ChildProcess process;
    HWND window = nullptr;
    HWND edit = nullptr;
};
TargetProgram StartTarget(const std::wstring& title, int x, int y, const std::wstring& kind = L"");
// Makes the target's thread stop pumping messages until Resume; whether it
// said it stopped in time.
bool Hang(TargetProgram& target);
void Resume(TargetProgram& target);
// Whether the window's thread answers a message within the time.
bool Answers(HWND window, UINT timeoutMs);

// Moves the pointer to the window's centre; whether the window (or one of its
// children) is what the system finds there before the deadline.
bool PointAt(HWND window);
// Waits until a hotkey combination is registered by some program; whether it
// was before the deadline.
bool HeldBySomeone(UINT modifiers, UINT virtualKey);

// A fixture with Veilkeeper started, its main window up and its list readable.
class VeilkeeperRunning : public ::testing::Test {
protected:
    void SetUp() override;

    static bool Visible(HWND window) { return ::IsWindowVisible(window) != FALSE; }
    // Waits until the list has `count` rows; whether it had them in time.
    bool Rows(int count);
    static POINT CentreOfWindow(HWND window);
    // The window of Veilkeeper's that has the keyboard focus.
    HWND Focus() const;
    // Opens the ">>" button's menu with a click; the menu's window.
    HWND OpenCommandMenu();
    // Points at the window, then presses the keys (the default hide-key unless told).
    void HideWithKeyOver(HWND window, std::initializer_list<WORD> keys = {kDefaultHideKey});
    // Hides the window with the default hide-key and waits until it has its
    // row and is gone from the screen: a press that follows finds nothing of
    // it at its place.
    void Hide(HWND window);
    // Starts Veilkeeper again, the earlier one ended however it did.
    void StartAgain();

    std::optional<ChildProcess> veilkeeper;
    HWND main = nullptr;
    std::optional<RemoteListView> list;
};

}  // namespace test
