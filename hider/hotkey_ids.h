// The identifiers of the global hotkeys registered to the main window.
#pragma once

enum HotKeyId : int {
    // Control+Tab twice once was a hotkey; the keyboard watch takes it now, and
    // the number stays reserved for it.
    HOTKEY_SHOW_SELF = 101,
    HOTKEY_HIDE_UNDER_CURSOR = 105,  // the user's hide-key: hides the window under the pointer
};
