// The bare baseline for the benchmarks: the platform calls Veilkeeper makes to
// hide and show windows, with nothing else (no dialog, no list, no icons, no
// titles). WM_HOTKEY 105 hides the top-level window under the pointer; WM_APP
// shows the newest hidden window again; command 104 shows every one, newest
// first, and ends the program.
#include <windows.h>

#include <vector>

namespace {

std::vector<HWND> g_hidden;

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

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HOTKEY: {
        POINT pointer{};
        if (wParam == 105 && ::GetCursorPos(&pointer)) {
            if (HWND target = TopLevelOf(::WindowFromPoint(pointer)); target != nullptr && target != window) {
                g_hidden.push_back(target);
                ::ShowWindowAsync(target, SW_HIDE);
            }
        }
        return 0;
    }
    case WM_APP:
        if (!g_hidden.empty()) {
            ::ShowWindowAsync(g_hidden.back(), SW_SHOW);
            g_hidden.pop_back();
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == 104) {
            for (auto hidden = g_hidden.rbegin(); hidden != g_hidden.rend(); ++hidden) {
                ::ShowWindowAsync(*hidden, SW_SHOW);
            }
            g_hidden.clear();
            ::DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &BaselineProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VeilkeeperBaseline";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Baseline", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, nullptr);
    ::RegisterHotKey(window, 105, 0, 0xC0);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    return 0;
}
