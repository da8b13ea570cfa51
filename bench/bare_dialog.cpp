// The bare baseline for the start-up benchmark: the main window's template run
// as a dialog with nothing of Veilkeeper's own (no guard, no set-up).
#include <windows.h>
#include <commctrl.h>

#include "resource.h"

namespace {
INT_PTR CALLBACK BareProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&classes);
    ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN_DIALOG), nullptr, &BareProc, 0);
    return 0;
}
