// Watches the keyboard for the main window through a low-level keyboard hook on
// a thread of its own. The hook only looks at a key and posts to the window, so
// a busy or stalled main thread never stalls the user's keyboard.
#pragma once

#include <windows.h>

#include <atomic>
#include <thread>

#include "unique_handle.h"
#include "window_services.h"

namespace platform {

class Win32KeyboardWatch final : public KeyboardWatch {
public:
    // Starts the thread and waits (bounded) until its hook is in place.
    Win32KeyboardWatch(HWND window, UINT message, TabJudge judge);
    // Ends the thread: the hook goes with it.
    ~Win32KeyboardWatch() override;
    Win32KeyboardWatch(const Win32KeyboardWatch&) = delete;
    Win32KeyboardWatch& operator=(const Win32KeyboardWatch&) = delete;

    bool Active() const override { return m_active.load(); }
    void ReportReleasesOf(UINT virtualKey) override { m_releaseKey.store(virtualKey); }

private:
    void Run();

    HWND m_window;
    UINT m_message;
    TabJudge m_judge;  // called on the watch's thread only
    std::atomic<bool> m_active{false};
    std::atomic<UINT> m_releaseKey{0};
    std::atomic<DWORD> m_threadId{0};
    handles::unique_handle m_ready;  // set once the thread has its queue and tried its hook
    std::thread m_thread;
};

}  // namespace platform
