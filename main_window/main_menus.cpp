#include "main_menus.h"

#include <string>

#include "framework.h"
#include "resource.h"
#include "unique_handle.h"

namespace hider {

void AddAboutToWindowMenu(HWND window) {
    HMENU systemMenu = ::GetSystemMenu(window, FALSE);
    const std::wstring about = fw::ResourceString(IDS_ABOUTBOX);
    if (systemMenu != nullptr && !about.empty()) {
        ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
}

void TrackCommandMenu(HWND owner, HWND button) {
    handles::unique_hmenu menuBar(::LoadMenuW(fw::ResourceModule(), MAKEINTRESOURCEW(IDR_COMMAND_MENU)));
    HMENU menu = menuBar ? ::GetSubMenu(menuBar.get(), 0) : nullptr;
    if (menu == nullptr) {
        return;
    }
    ::SetMenuDefaultItem(menu, 0, TRUE);

    RECT place{};
    ::GetWindowRect(button, &place);
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(menu, 0, place.right, place.top, 0, owner, nullptr);
    // Lets the menu's owner settle, so a click elsewhere closes the next menu too.
    ::PostMessageW(owner, WM_NULL, 0, 0);
}

}  // namespace hider
