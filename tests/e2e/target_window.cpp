// A program whose window Veilkeeper hides in the tests: a top-level window
// with the title from the command line at a fixed place, filled by an edit
// control; with "desktop-child" after the place, a child window of the
// desktop instead; with "owned", it also owns a pop-up ("<title> – 查找") to
// its right. It prints both handles, then pumps messages, and answers the
// messages of target_messages.h.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "target_messages.h"

namespace {

constexpr wchar_t kPopupClass[] = L"VeilkeeperTestPopup";

LRESULT g_controlTabs = 0;
HWND g_tip = nullptr;
LRESULT g_windowMenuRequests = 0;
std::wstring g_title;
POINT g_place{};

HWND OwnedPopup(HWND owner, const wchar_t* suffix, int below) {
    const std::wstring title = g_title + L" – " + suffix;
    return ::CreateWindowExW(0, kPopupClass, title.c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE, g_place.x + 340,
                             g_place.y + below, 240, 120, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

// What a modal dialog does: its owner disabled until it is closed, and a
// message loop of its own meanwhile.
void RunModalDialog(HWND owner) {
    HWND dialog = OwnedPopup(owner, L"对话框", 150);
    ::EnableWindow(owner, FALSE);
    MSG msg;
    while (::IsWindow(dialog) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    ::EnableWindow(owner, TRUE);
}

DWORD WINAPI OwnedWindowThread(LPVOID owner) {
    HWND tool = OwnedPopup(static_cast<HWND>(owner), L"工具", 300);
    MSG msg;
    while (::IsWindow(tool) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    return 0;
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case test::kHangTarget: {
        // Said first, so the test knows from when on nothing is pumped.
        std::printf("hanging\n");
        std::fflush(stdout);
        char line[64];
        DWORD read = 0;
        ::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), line, sizeof line, &read, nullptr);
        return 0;
    }
    case test::kControlTabCount:
        return g_controlTabs;
    case test::kOpenModalDialog:
        RunModalDialog(window);
        return 0;
    case test::kWindowMenuRequestCount:
        return g_windowMenuRequests;
    case test::kShowTip:
        if (g_tip == nullptr) {
            const std::wstring title = g_title + L" – 提示";
            g_tip = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, title.c_str(), WS_POPUP | WS_BORDER,
                                      g_place.x + 40, g_place.y + 210, 160, 24, window, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr);
        }
        ::ShowWindow(g_tip, SW_SHOWNOACTIVATE);
        return 0;
    case test::kDismissTip:
        ::ShowWindow(g_tip, SW_HIDE);
        return 0;
    case test::kOpenOwnedOnOtherThread: {
        HANDLE thread = ::CreateThread(nullptr, 0, &OwnedWindowThread, window, 0, nullptr);
        if (thread != nullptr) {
            ::CloseHandle(thread);  // it ends with the program
        }
        return 0;
    }
    case WM_NCRBUTTONUP:
        if (wParam == HTCAPTION) {
            ++g_windowMenuRequests;
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_SIZE: {
        HWND edit = ::GetWindow(window, GW_CHILD);
        if (edit != nullptr) {
            ::MoveWindow(edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        }
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    g_title = argc > 1 ? argv[1] : L"Target";
    const wchar_t* title = g_title.c_str();
    const int x = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 20;
    const int y = argc > 3 ? static_cast<int>(std::wcstol(argv[3], nullptr, 10)) : 20;
    g_place = {x, y};

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TargetProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"VeilkeeperTestTarget";
    ::RegisterClassW(&windowClass);
    WNDCLASSW popupClass = windowClass;
    popupClass.lpfnWndProc = &::DefWindowProcW;
    popupClass.lpszClassName = kPopupClass;
    ::RegisterClassW(&popupClass);

    const bool desktopChild = argc > 4 && std::wcscmp(argv[4], L"desktop-child") == 0;
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, title,
                                    desktopChild ? WS_CHILD | WS_BORDER : WS_OVERLAPPEDWINDOW, x, y, 320, 200,
                                    desktopChild ? ::GetDesktopWindow() : nullptr, nullptr, windowClass.hInstance,
                                    nullptr);
    HWND edit = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 10, 10,
                                  window, nullptr, windowClass.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    RECT client{};
    ::GetClientRect(window, &client);
    ::MoveWindow(edit, 0, 0, client.right, client.bottom, TRUE);
    if (argc > 4 && std::wcscmp(argv[4], L"owned") == 0) {
        OwnedPopup(window, L"查找", 0);
    }

    std::printf("%p %p\n", static_cast<void*>(window), static_cast<void*>(edit));
    std::fflush(stdout);

    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0) {
            ++g_controlTabs;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
