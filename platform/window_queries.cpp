#include "window_queries.h"

#include "window_services.h"

namespace platform {

HWND WindowAtPoint(POINT point) {
    // The desktop window itself is no program's window: there is nothing to hide.
    HWND window = ::WindowFromPoint(point);
    return window != ::GetDesktopWindow() ? window : nullptr;
}

HWND TopLevelOf(HWND window) {
    while (window != nullptr && (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) {
        HWND parent = ::GetParent(window);
        if (parent == nullptr) {
            break;
        }
        window = parent;
    }
    return window;
}

std::wstring TitleOf(HWND window) {
    // For another program's window the text is read from the window manager,
    // not asked for with WM_GETTEXT, so a hung program cannot stall this.
    wchar_t title[kMaxTitleLength + 1] = {};
    const int length = ::GetWindowTextW(window, title, kMaxTitleLength + 1);
    return std::wstring(title, length > 0 ? static_cast<size_t>(length) : 0);
}

bool IsOfThisProcess(HWND window) {
    DWORD process = 0;
    return ::GetWindowThreadProcessId(window, &process) != 0 && process == ::GetCurrentProcessId();
}

}  // namespace platform
