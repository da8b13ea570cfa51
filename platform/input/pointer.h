// The mouse pointer: where it is, who captures it, and what it looks like.
#pragma once

#include <windows.h>

namespace platform {

bool PointerPosition(POINT& point);
// Whether the left button is down in the input this thread has read so far:
// what a real press leaves, and a posted one does not.
bool LeftButtonDownInInput();
void CapturePointer(HWND window);
void ReleasePointer();
// The pointer's shape until the next WM_SETCURSOR; a shared cursor, not destroyed.
void SetPointerShape(HCURSOR cursor);

}  // namespace platform
