// The identifiers of the two global hotkeys, both registered to the main window.
#pragma once

enum HotKeyId : int {
    HOTKEY_SHOW_SELF = 101,          // Control+Tab, pressed twice: shows the main window
    HOTKEY_HIDE_UNDER_CURSOR = 105,  // the user's hide-key: hides the window under the pointer
};
