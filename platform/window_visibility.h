// Hiding and showing other programs' windows.
#pragma once

#include <windows.h>

namespace platform {

// Whether the request could be made.
bool SetTargetVisible(HWND window, bool show);

}  // namespace platform
