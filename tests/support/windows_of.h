// The windows a process shows, and what they say.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace test {

// How long a window of another program is given to answer a message: as long
// as a busy machine may need, never without end.
inline constexpr UINT kAnswerMs = 10000;

// What a window of another program answers to a message; none when it did
// not answer in time.
std::optional<LRESULT> AnswerOf(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// The visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD processId);
// The first visible top-level window of a process with that class; none when
// it shows no such window.
HWND VisibleWindowOf(DWORD processId, const wchar_t* className);

std::wstring TextOf(HWND window);
std::wstring ClassOf(HWND window);
// The texts of a window's static controls, in order.
std::vector<std::wstring> StaticTextsOf(HWND window);

// For failure messages: a window's title, process and state ("none" for
// none), and every top-level window of a process so, top first.
std::string Described(HWND window);
std::string TopLevelWindowsDescribed(DWORD processId);

// The visible dialog with this title, waited for; none when none shows in
// time. It does not pump messages: safe on a thread that drives a dialog of
// another thread.
HWND WaitForVisibleDialog(const wchar_t* title, std::chrono::milliseconds timeout = std::chrono::seconds(10));
// A visible window the owner owns (a message box over a dialog), waited for
// the same way; none when none shows in time.
HWND WaitForOwnedWindow(HWND owner, std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace test
