// Requests sent to other programs' windows, each with a bounded wait.
#pragma once

#include <windows.h>

namespace platform {

HICON IconOf(HWND window);
void AskForWindowMenu(HWND window, POINT screenPoint);

}  // namespace platform
