#include "window_visibility.h"

namespace platform {

bool SetTargetVisible(HWND window, bool show) {
    const int command = show ? SW_SHOW : SW_HIDE;
    // A window of another thread is told asynchronously: ShowWindow would wait
    // for its thread, and a hung one would freeze us with it.
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (thread == 0) {
        return false;  // no such window
    }
    if (thread == ::GetCurrentThreadId()) {
        ::ShowWindow(window, command);  // its result is the former visibility, not success
        return true;
    }
    return ::ShowWindowAsync(window, command) != FALSE;
}

}  // namespace platform
