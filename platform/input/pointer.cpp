#include "pointer.h"

#include "unique_handle.h"

namespace platform {

namespace {

// While the pointer is captured, the button events that end or cancel a drag
// also come through a low-level mouse hook. Windows keeps a capture while a
// button is down even when the capturing window is hidden; Wine loses it once
// the foreground moves away. The hook sees the buttons either way and reposts
// them to the capturing window; an event that arrives twice finds the drag
// already over. The hook's point is left out: it is in physical pixels, which
// differ from the program's own under mixed DPI; the drop point is read with
// GetCursorPos.
HWND g_captureWindow = nullptr;
handles::unique_hhook g_buttonHook;

LRESULT CALLBACK FollowButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_captureWindow != nullptr && (wParam == WM_LBUTTONUP || wParam == WM_RBUTTONDOWN)) {
        const WPARAM keys = wParam == WM_RBUTTONDOWN ? MK_RBUTTON : 0;
        ::PostMessageW(g_captureWindow, static_cast<UINT>(wParam), keys, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool PointerPosition(POINT& point) {
    return ::GetCursorPos(&point) != FALSE;
}

bool LeftButtonDownInInput() {
    // The thread's own key state, which the system changes only as the thread
    // reads real input; not the asynchronous state, which Wine takes again
    // from the X server when the focus moves.
    return (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
}

void CapturePointer(HWND window) {
    ::SetCapture(window);
    g_captureWindow = window;
    g_buttonHook.reset(::SetWindowsHookExW(WH_MOUSE_LL, &FollowButtons, ::GetModuleHandleW(nullptr), 0));
}

void ReleasePointer() {
    g_buttonHook.reset();
    g_captureWindow = nullptr;
    ::ReleaseCapture();
}

void SetPointerShape(HCURSOR cursor) {
    ::SetCursor(cursor);
}

}  // namespace platform
