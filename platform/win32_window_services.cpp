// The real window-system services: each forwards to its Win32 helper.
#include "alerts.h"
#include "clock.h"
#include "global_hotkeys.h"
#include "pointer.h"
#include "raw_keyboard.h"
#include "window_events.h"
#include "window_queries.h"
#include "window_requests.h"
#include "window_services.h"
#include "window_visibility.h"

namespace platform {

namespace {

class Win32Services final : public WindowServices {
public:
    HWND WindowFromPoint(POINT point) override { return WindowAtPoint(point); }
    HWND TopLevelWindow(HWND window) override { return TopLevelOf(window); }
    std::optional<WindowFacts> DescribeWindow(HWND window) override { return FactsOf(window); }
    bool IsExempt(HWND window, const WindowFacts& facts) override { return IsExemptWindow(window, facts); }
    bool IsShown(HWND window) override { return ::IsWindowVisible(window) != FALSE; }
    std::vector<OwnedWindow> OwnedWindows(HWND owner) override { return OwnedWindowsOf(owner); }
    HWND ForegroundWindow() override { return ::GetForegroundWindow(); }
    bool IsEnabled(HWND window) override { return ::IsWindowEnabled(window) != FALSE; }
    bool WatchProcessWindows(HWND notify, UINT message, DWORD processId) override {
        return WatchWindowsOfProcess(notify, message, processId);
    }
    void StopWatchingProcessWindows(DWORD processId) override { StopWatchingWindowsOfProcess(processId); }
    std::vector<WindowEvent> TakeWindowEvents() override { return TakeQueuedWindowEvents(); }
    bool IsWindowOfThread(HWND window, DWORD processId, DWORD threadId) override {
        return platform::IsWindowOfThread(window, processId, threadId);
    }
    bool HideTarget(HWND window) override { return SetTargetVisible(window, SW_HIDE); }
    bool ShowTarget(HWND window, bool inFront) override {
        if (inFront) {
            AllowForegroundFor(window);
        }
        return SetTargetVisible(window, inFront ? SW_SHOW : SW_SHOWNA);
    }
    void BringToFront(HWND window) override { MakeForeground(window); }
    std::wstring WindowTitle(HWND window) override { return TitleOf(window); }
    HICON WindowIcon(HWND window) override { return IconOf(window); }
    void RequestWindowMenu(HWND window, POINT screenPoint) override { AskForWindowMenu(window, screenPoint); }
    void SoundWarning() override { platform::SoundWarning(); }

    bool CursorPos(POINT& point) override { return PointerPosition(point); }
    bool LeftButtonDown() override { return LeftButtonDownInInput(); }
    void CaptureMouse(HWND window) override { CapturePointer(window); }
    void ReleaseMouse() override { ReleasePointer(); }
    void SetCursorShape(HCURSOR cursor) override { SetPointerShape(cursor); }

    bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) override {
        return RegisterGlobalHotKey(window, id, modifiers, virtualKey);
    }
    void UnregisterHotKey(HWND window, int id) override { UnregisterGlobalHotKey(window, id); }
    bool WatchKeyboard(HWND window) override { return WatchRawKeyboard(window); }
    void StopWatchingKeyboard() override { StopWatchingRawKeyboard(); }
    std::optional<KeyEvent> ReadKeyEvent(LPARAM rawInput) override { return KeyEventOf(rawInput); }
    bool KeyInputQueued() override { return platform::KeyInputQueued(); }
    KeyRepeat KeyRepeatSettings() override { return KeyboardRepeat(); }
    bool KeyIsDown(UINT virtualKey) override { return (::GetAsyncKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0; }
    std::uint64_t NowMs() override { return ::GetTickCount64(); }
    std::uint64_t MessageTimeMs() override { return platform::MessageTimeMs(); }
};

}  // namespace

WindowServices& Win32WindowServices() {
    static Win32Services services;
    return services;
}

}  // namespace platform
