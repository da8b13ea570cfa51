#include "window_visibility.h"

namespace platform {

bool SetTargetVisible(HWND window, int showCommand) {
    // A window of another thread is told asynchronously: ShowWindow would wait
    // for its thread, and a hung one would freeze us with it.
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (thread == 0) {
        return false;  // no such window
    }
    if (thread == ::GetCurrentThreadId()) {
        ::ShowWindow(window, showCommand);  // its result is the former visibility, not success
        return true;
    }
    return ::ShowWindowAsync(window, showCommand) != FALSE;
}

void AllowForegroundFor(HWND window) {
    DWORD process = 0;
    if (::GetWindowThreadProcessId(window, &process) != 0) {
        ::AllowSetForegroundWindow(process);
    }
}

void MakeForeground(HWND window) {
    // For another thread's window the system only queues the activation: a
    // hung program takes it once it runs again.
    ::SetForegroundWindow(window);
}

}  // namespace platform
