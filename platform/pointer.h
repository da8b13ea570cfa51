// The mouse pointer: where it is, who captures it, and what it looks like.
#pragma once

#include <windows.h>

namespace platform {

bool PointerPosition(POINT& point);
void CapturePointer(HWND window);
void ReleasePointer();
// The pointer's shape until the next WM_SETCURSOR; a shared cursor, not destroyed.
void SetPointerShape(HCURSOR cursor);

}  // namespace platform
