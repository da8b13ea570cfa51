#include "window_requests.h"

#include "wait_limits.h"

namespace platform {

namespace {
HICON AskForIcon(HWND window, WPARAM kind) {
    DWORD_PTR icon = 0;
    if (!::SendMessageTimeoutW(window, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &icon)) {
        return nullptr;
    }
    return reinterpret_cast<HICON>(icon);
}
}  // namespace

HICON IconOf(HWND window) {
    HICON icon = AskForIcon(window, ICON_SMALL);
    return icon != nullptr ? icon : AskForIcon(window, ICON_BIG);
}

void AskForWindowMenu(HWND window, POINT screenPoint) {
    // The window opens its menu while handling the request and keeps it open
    // until the user chooses: wait only long enough for a program that answers
    // at once, never for the menu to close.
    const LPARAM position = MAKELPARAM(static_cast<WORD>(screenPoint.x), static_cast<WORD>(screenPoint.y));
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_NCRBUTTONUP, HTCAPTION, position, SMTO_ABORTIFHUNG, kRequestTimeoutMs,
                          &ignored);
}

}  // namespace platform
