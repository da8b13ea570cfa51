#include "pointer.h"

namespace platform {

bool PointerPosition(POINT& point) {
    return ::GetCursorPos(&point) != FALSE;
}

void CapturePointer(HWND window) {
    ::SetCapture(window);
}

void ReleasePointer() {
    ::ReleaseCapture();
}

void ShowPointerShape(HINSTANCE module, UINT cursorId) {
    // A cursor from a resource is shared by the system: never destroyed by us.
    ::SetCursor(::LoadCursorW(module, MAKEINTRESOURCEW(cursorId)));
}

}  // namespace platform
