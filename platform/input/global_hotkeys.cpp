#include "global_hotkeys.h"

namespace platform {

bool RegisterGlobalHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) {
    return ::RegisterHotKey(window, id, modifiers, virtualKey) != FALSE;
}

void UnregisterGlobalHotKey(HWND window, int id) {
    ::UnregisterHotKey(window, id);
}

}  // namespace platform
