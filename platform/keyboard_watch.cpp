#include "keyboard_watch.h"

#include <cstdint>
#include <system_error>
#include <utility>

#include "unique_handle.h"

namespace platform {

namespace {

// How long the main window waits for the watch to start: the thread does
// nothing slow, this only bounds a system that will not start it.
constexpr DWORD kStartTimeoutMs = 5000;

// The hook's state lives on the hook's own thread: the system calls the hook
// on the thread that installed it.
struct HookState {
    HWND window = nullptr;
    UINT message = 0;
    const std::atomic<UINT>* releaseKey = nullptr;
    TabJudge* judge = nullptr;
    // The events' own clock, extended past the 32-bit tick count's wrap.
    bool haveTime = false;
    DWORD lastTick = 0;
    std::uint64_t timeMs = 0;
};
thread_local HookState* t_state = nullptr;

// When the key was pressed, not when the hook ran: a hook called late (a busy
// system) must not stretch or shrink the gap between two presses. The event's
// tick count wraps every 49.7 days; differences of it do not.
std::uint64_t EventTime(HookState& state, DWORD tick) {
    if (!state.haveTime) {
        state.haveTime = true;
        state.timeMs = ::GetTickCount64();
    } else {
        state.timeMs += static_cast<DWORD>(tick - state.lastTick);
    }
    state.lastTick = tick;
    return state.timeMs;
}

bool Held(int virtualKey) {
    return (::GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

// Control and no other modifier, as a hotkey of Control+Tab would take it.
bool ControlOnly() {
    return Held(VK_CONTROL) && !Held(VK_SHIFT) && !Held(VK_MENU) && !Held(VK_LWIN) && !Held(VK_RWIN);
}

LRESULT CALLBACK WatchKey(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HC_ACTION || t_state == nullptr) {
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
    TabAction action = TabAction::PassOn;
    if (key->vkCode == VK_TAB && (down || up) && *t_state->judge) {
        action = (*t_state->judge)(TabEvent{down, down && ControlOnly(), EventTime(*t_state, key->time)});
    }
    if (up && key->vkCode == t_state->releaseKey->load()) {
        ::PostMessageW(t_state->window, t_state->message, kHideKeyReleased, 0);
    }
    if (action == TabAction::SwallowAndReport) {
        ::PostMessageW(t_state->window, t_state->message, kTabReported, 0);
    }
    if (action != TabAction::PassOn) {
        return 1;  // kept from every other program
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

Win32KeyboardWatch::Win32KeyboardWatch(HWND window, UINT message, TabJudge judge)
    : m_window(window), m_message(message), m_judge(std::move(judge)), m_ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    if (!m_ready) {
        return;
    }
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return;  // no thread: the window runs on without a watch
    }
    ::WaitForSingleObject(m_ready.get(), kStartTimeoutMs);
}

Win32KeyboardWatch::~Win32KeyboardWatch() {
    if (m_thread.joinable()) {
        // The thread says it is ready once its queue is there, so the quit
        // cannot be lost; it does nothing slow before that.
        ::WaitForSingleObject(m_ready.get(), INFINITE);
        ::PostThreadMessageW(m_threadId.load(), WM_QUIT, 0, 0);
        m_thread.join();
    }
}

void Win32KeyboardWatch::Run() {
    // Every key of the system waits for this thread's answer.
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes this thread's queue
    m_threadId.store(::GetCurrentThreadId());

    HookState state;
    state.window = m_window;
    state.message = m_message;
    state.releaseKey = &m_releaseKey;
    state.judge = &m_judge;
    t_state = &state;
    handles::unique_hhook hook(::SetWindowsHookExW(WH_KEYBOARD_LL, &WatchKey, ::GetModuleHandleW(nullptr), 0));
    m_active.store(static_cast<bool>(hook));
    ::SetEvent(m_ready.get());

    // The system calls the hook while this thread waits for messages.
    while (hook && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    hook.reset();
    t_state = nullptr;
    m_active.store(false);
}

}  // namespace platform
