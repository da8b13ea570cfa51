// System-wide hotkeys, posted as WM_HOTKEY to the window that registered them.
#pragma once

#include <windows.h>

namespace platform {

bool RegisterGlobalHotKey(HWND window, int id, UINT modifiers, UINT virtualKey);
void UnregisterGlobalHotKey(HWND window, int id);

}  // namespace platform
