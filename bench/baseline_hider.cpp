// The bare baseline for the benchmarks: the platform calls Veilkeeper makes to
// hide and show windows, through the same helpers, with nothing else (no
// dialog, no list, no icons, no titles). The hide-key's WM_HOTKEY hides the top-level window under the pointer; WM_APP
// shows the newest hidden window again; the Exit command shows every one, newest
// first, and ends the program.
#include <windows.h>

#include <vector>

#include "hotkey_ids.h"
#include "pointer.h"
#include "resource.h"
#include "window_queries.h"
#include "window_visibility.h"

namespace {

std::vector<HWND> g_hidden;

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HOTKEY: {
        POINT pointer{};
        if (wParam == HOTKEY_HIDE_UNDER_CURSOR && platform::PointerPosition(pointer)) {
            HWND target = platform::TopLevelOf(platform::WindowAtPoint(pointer));
            if (target != nullptr && target != window) {
                g_hidden.push_back(target);
                platform::SetTargetVisible(target, false);
            }
        }
        return 0;
    }
    case WM_APP:
        if (!g_hidden.empty()) {
            platform::SetTargetVisible(g_hidden.back(), true);
            g_hidden.pop_back();
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_EXIT) {
            for (auto hidden = g_hidden.rbegin(); hidden != g_hidden.rend(); ++hidden) {
                platform::SetTargetVisible(*hidden, true);
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
    ::RegisterHotKey(window, HOTKEY_HIDE_UNDER_CURSOR, 0, 0xC0);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    return 0;
}
