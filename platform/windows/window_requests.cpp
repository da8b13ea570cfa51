#include "window_requests.h"

#include <optional>

#include "wait_limits.h"

namespace platform {

namespace {

// The icon the window answers with; nothing when it did not answer in time.
std::optional<HICON> AskForIcon(HWND window, WPARAM kind) {
    DWORD_PTR icon = 0;
    if (!::SendMessageTimeoutW(window, WM_GETICON, kind, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &icon)) {
        return std::nullopt;
    }
    return reinterpret_cast<HICON>(icon);
}

// The icon of the window's class, read without asking the window: what the
// task bar shows for the many windows that never set an icon of their own.
HICON ClassIconOf(HWND window) {
    if (auto small = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICONSM))) {
        return small;
    }
    return reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICON));
}

}  // namespace

HICON IconOf(HWND window) {
    const std::optional<HICON> small = AskForIcon(window, ICON_SMALL);
    if (small && *small != nullptr) {
        return *small;
    }
    // A window that did not answer will not answer the second request either:
    // one wait is enough.
    if (small) {
        if (const std::optional<HICON> big = AskForIcon(window, ICON_BIG); big && *big != nullptr) {
            return *big;
        }
    }
    return ClassIconOf(window);
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
