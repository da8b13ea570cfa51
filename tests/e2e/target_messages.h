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

}  // namespace test
