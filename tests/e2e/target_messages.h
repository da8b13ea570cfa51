// The messages the target program (target_window.exe) understands beyond the
// system's own: it handles them, the tests send or post them.
#pragma once

#include <windows.h>

namespace test {

// Posted: its thread stops pumping messages until a line arrives on its input;
// it prints "hanging" as it stops.
inline constexpr UINT kHangTarget = WM_APP + 1;
// Sent: answers how many Control+Tab key-downs the program received.
inline constexpr UINT kControlTabCount = WM_APP + 2;
// Posted: opens a modal dialog ("<title> – 对话框") below the pop-up; the
// window is disabled until the dialog is closed.
inline constexpr UINT kOpenModalDialog = WM_APP + 3;
// Sent: answers how many window-menu requests (a right click on the caption)
// it received; it counts them and opens no menu.
inline constexpr UINT kWindowMenuRequestCount = WM_APP + 4;
// Posted: shows a tooltip-like pop-up ("<title> – 提示": a captionless tool
// window) below the window, as a program does while the pointer rests there.
inline constexpr UINT kShowTip = WM_APP + 5;
// Posted: puts the tip away (hides it), as its program does once the pointer left.
inline constexpr UINT kDismissTip = WM_APP + 6;
// Posted: a second thread of the program opens a window ("<title> – 工具")
// owned by this one, and pumps its messages.
inline constexpr UINT kOpenOwnedOnOtherThread = WM_APP + 7;

}  // namespace test
