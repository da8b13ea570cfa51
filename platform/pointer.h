// The mouse pointer: where it is, who captures it, and what it looks like.
#pragma once

#include <windows.h>

namespace platform {

bool PointerPosition(POINT& point);
void CapturePointer(HWND window);
void ReleasePointer();
void ShowPointerShape(HINSTANCE module, UINT cursorId);

}  // namespace platform
