// Hiding and showing other programs' windows, and handing them the foreground.
#pragma once

#include <windows.h>

namespace platform {

// Asks the window to hide or show (SW_HIDE, SW_SHOW, SW_SHOWNA) without
// waiting on its program; whether the request could be made.
bool SetTargetVisible(HWND window, int showCommand);
// Lets the window's program take the foreground, which Veilkeeper holds while
// the user acts in its window: its own activation of the window may then
// bring it to the front.
void AllowForegroundFor(HWND window);
// Makes the window the foreground window, without waiting on its program.
void MakeForeground(HWND window);

}  // namespace platform
