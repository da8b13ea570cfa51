// The whole keyboard watched through raw input: every key-down and key-up that
// any program gets also comes to one window of ours as WM_INPUT, posted after
// the fact. Nothing waits for us: no key is delayed, and nothing the system
// can take away silently (as it does a low-level hook that answers late).
#pragma once

#include <windows.h>

#include <optional>

#include "window_services.h"

namespace platform {

// Raw input is the process's: one window gets it, the last one named.
bool WatchRawKeyboard(HWND window);
void StopWatchingRawKeyboard();
// The key event a WM_INPUT carries; none for anything else.
std::optional<KeyEvent> KeyEventOf(LPARAM rawInput);
// The user's auto-repeat settings; the system's defaults where they cannot be read.
KeyRepeat KeyboardRepeat();
// Whether raw input waits in this thread's queue, not yet read.
bool KeyInputQueued();

}  // namespace platform
