// The main window's two menus: the window menu's About entry, and the ">>"
// button's command menu.
#pragma once

#include <windows.h>

namespace hider {

// Adds "About" (below a separator) to the window's window menu.
void AddAboutToWindowMenu(HWND window);

// Opens the command menu at the button's top right corner; the chosen command
// comes to `owner` as WM_COMMAND once the menu has closed.
void TrackCommandMenu(HWND owner, HWND button);

}  // namespace hider
