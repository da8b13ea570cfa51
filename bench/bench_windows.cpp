// Many small top-level windows for the scale benchmark: COUNT windows tiled in
// 32-pixel cells from cell FIRST on, COLUMNS to a row. Prints "ready" when all
// are shown, then pumps messages until its input ends.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {
constexpr int kCell = 32;

DWORD WINAPI WaitForInputEnd(LPVOID thread) {
    char ignored[64];
    DWORD read = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), ignored, sizeof ignored, &read, nullptr) && read > 0) {
    }
    ::PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(thread)), WM_QUIT, 0, 0);
    return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int count = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 10;
    const int first = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 0;
    const int columns = argc > 3 ? static_cast<int>(std::wcstol(argv[3], nullptr, 10)) : 40;

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    windowClass.lpszClassName = L"VeilkeeperBenchWindow";
    ::RegisterClassW(&windowClass);
    for (int i = 0; i < count; ++i) {
        const int cell = first + i;
        const std::wstring title = L"window " + std::to_wstring(cell);
        ::CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_POPUP | WS_BORDER | WS_VISIBLE,
                          (cell % columns) * kCell, (cell / columns) * kCell, kCell - 2, kCell - 2, nullptr, nullptr,
                          windowClass.hInstance, nullptr);
    }
    std::puts("ready");
    std::fflush(stdout);

    ::CreateThread(nullptr, 0, &WaitForInputEnd,
                   reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(::GetCurrentThreadId())), 0, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    return 0;
}
