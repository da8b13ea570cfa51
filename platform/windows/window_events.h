// The shows, hides and destruction of other programs' windows, as they happen.
#pragma once

#include <windows.h>

#include <vector>

#include "window_services.h"

namespace platform {

// Out-of-context WinEvents for one process's windows, delivered on the
// calling thread while it takes its messages; the thread that watches is the
// one that reads.
bool WatchWindowsOfProcess(HWND notify, UINT message, DWORD processId);
void StopWatchingWindowsOfProcess(DWORD processId);
std::vector<WindowEvent> TakeQueuedWindowEvents();

}  // namespace platform
