#include "window_visibility.h"

namespace platform {

void SetTargetVisible(HWND window, bool show) {
    const int command = show ? SW_SHOW : SW_HIDE;
    // A window of another thread is told asynchronously: ShowWindow would wait
    // for its thread, and a hung one would freeze us with it.
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
        ::ShowWindow(window, command);
    } else {
        ::ShowWindowAsync(window, command);
    }
}

}  // namespace platform
