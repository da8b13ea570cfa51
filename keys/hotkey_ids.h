// The identifiers of the global hotkeys registered to the main window.
#pragma once

enum HotKeyId : int {
    // Control+Tab, registered only for the moment a double press may come:
    // from the first press's release until half a second after that press.
    HOTKEY_SHOW_SELF = 101,
    HOTKEY_HIDE_UNDER_CURSOR = 105,  // the user's hide-key: hides the window under the pointer
};
