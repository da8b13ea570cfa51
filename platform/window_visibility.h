// Hiding and showing other programs' windows.
#pragma once

#include <windows.h>

namespace platform {

void SetTargetVisible(HWND window, bool show);

}  // namespace platform
