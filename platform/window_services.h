// The window-system services through which Veilkeeper acts on other programs'
// windows, follows the pointer, takes global hotkeys and watches the keyboard. The
// dialog reaches them only through this interface, so tests can hand it a fake.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// One key going down or up, as the keyboard watch saw it. Control, Shift and
// Alt come as their left or right key (VK_LCONTROL, VK_RSHIFT...).
struct KeyEvent {
    UINT virtualKey = 0;
    bool down = false;
};

// The keyboard's auto-repeat as the user set it: the delay before a held key
// repeats (0 to 3) and the speed of its repeats (0 to 31).
struct KeyRepeat {
    unsigned delay = 1;
    unsigned speed = 31;
};

// What names a window beyond its handle, which the system hands out again
// once a window is gone.
struct WindowFacts {
    DWORD processId = 0;
    ULONGLONG processStart = 0;  // the process's creation time; 0 when it cannot be read
    DWORD threadId = 0;
    std::wstring className;
};

// A window owned by another, with the styles that tell a pop-up not meant
// to be activated, or one under a modal dialog.
struct OwnedWindow {
    HWND window = nullptr;
    DWORD style = 0;  // WS_VISIBLE and WS_DISABLED among them
    DWORD exStyle = 0;
    bool visible = false;
};

// What became of a window, as its process reported it.
enum class WindowChange { Shown, Hidden, Destroyed };

struct WindowEvent {
    HWND window = nullptr;
    WindowChange change = WindowChange::Shown;
};

class WindowServices {
public:
    virtual ~WindowServices() = default;

    // The window at a screen point, or none.
    virtual HWND WindowFromPoint(POINT point) = 0;
    // Going up through the parents: the first window without WS_CHILD or without
    // a parent; the window itself at least, none only for none.
    virtual HWND TopLevelWindow(HWND window) = 0;
    // The window's facts now; none when no window has this handle.
    virtual std::optional<WindowFacts> DescribeWindow(HWND window) = 0;
    // Whether the window is never to be hidden: one of this program's own, the
    // desktop window, or one of the shell's desktop windows (hiding those
    // would leave the user without a desktop). Takes the facts just read, so
    // nothing is asked of the system twice.
    virtual bool IsExempt(HWND window, const WindowFacts& facts) = 0;
    // Whether the window is visible now.
    virtual bool IsShown(HWND window) = 0;
    // The windows `owner` owns, directly or through other owned windows, the
    // top of their stacking order first, whatever thread or process they
    // belong to.
    virtual std::vector<OwnedWindow> OwnedWindows(HWND owner) = 0;
    // The window the user works in now; none when no window has the activation.
    virtual HWND ForegroundWindow() = 0;
    // Whether the window takes input: a window under a modal dialog does not.
    virtual bool IsEnabled(HWND window) = 0;
    // From now until stopped, the shows, hides and destruction of the
    // process's windows are queued as they happen, and `message` is posted
    // to `notify` when the queue was empty; whether the watch could be set.
    // Where the system reports nothing, the queue stays empty.
    virtual bool WatchProcessWindows(HWND notify, UINT message, DWORD processId) = 0;
    virtual void StopWatchingProcessWindows(DWORD processId) = 0;
    // What was queued since the last call, in order.
    virtual std::vector<WindowEvent> TakeWindowEvents() = 0;
    // Whether the handle still names a window of that process's thread: a
    // cheap first look (no process is opened), for checks that run often.
    virtual bool IsWindowOfThread(HWND window, DWORD processId, DWORD threadId) = 0;
    // Hide or show another program's window without waiting on it; whether
    // the request could be made. Shown `inFront`, it comes back active and on
    // top (its program may take the foreground); otherwise inactive, where it
    // was in the stacking order.
    virtual bool HideTarget(HWND window) = 0;
    virtual bool ShowTarget(HWND window, bool inFront) = 0;
    // Makes the window the foreground window, without waiting on its program.
    virtual void BringToFront(HWND window) = 0;
    // The window's title; a longer one than kMaxTitleLength characters may be
    // cut, but to one character more at least, so the caller can cut it at a
    // character boundary.
    virtual std::wstring WindowTitle(HWND window) = 0;
    // The window's small icon, else its big icon, else none; gives up on a
    // window that does not answer in time.
    virtual HICON WindowIcon(HWND window) = 0;
    // Asks the window to open its window menu at a screen point, as for a right
    // click on its caption.
    virtual void RequestWindowMenu(HWND window, POINT screenPoint) = 0;
    // Tells the user, with the system's warning sound, that what they asked
    // for did not happen.
    virtual void SoundWarning() = 0;

    virtual bool CursorPos(POINT& point) = 0;
    // Whether the left button is down in the input the window's thread has
    // read: true while handling a real press, false for one another program
    // posted while the button is up.
    virtual bool LeftButtonDown() = 0;
    // Until ReleaseMouse, the window gets the mouse's messages, also while it
    // is hidden.
    virtual void CaptureMouse(HWND window) = 0;
    virtual void ReleaseMouse() = 0;
    // The pointer's shape from now until the next WM_SETCURSOR. The cursor is
    // the caller's: a shared resource cursor, never destroyed here.
    virtual void SetCursorShape(HCURSOR cursor) = 0;

    // Registration modifiers: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_NOREPEAT 0x4000.
    virtual bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) = 0;
    virtual void UnregisterHotKey(HWND window, int id) = 0;

    // Every key-down and key-up of the keyboard, whoever has it, comes to
    // the window as WM_INPUT after the fact: no key waits for us. Whether
    // the watch could be set.
    virtual bool WatchKeyboard(HWND window) = 0;
    virtual void StopWatchingKeyboard() = 0;
    // The key event a WM_INPUT carries; none for anything else.
    virtual std::optional<KeyEvent> ReadKeyEvent(LPARAM rawInput) = 0;
    // Whether key input waits for the watch, not yet read.
    virtual bool KeyInputQueued() = 0;
    // The keyboard's auto-repeat settings now.
    virtual KeyRepeat KeyRepeatSettings() = 0;
    // Whether the system takes the key as down now.
    virtual bool KeyIsDown(UINT virtualKey) = 0;
    // Milliseconds on a monotonic clock: now, and when the message being
    // handled was posted.
    virtual std::uint64_t NowMs() = 0;
    virtual std::uint64_t MessageTimeMs() = 0;
};

// The most of a title a row shows (the hidden windows' kRowTitleLength, which a
// static_assert ties to this): WindowTitle reads one unit more at least.
inline constexpr int kMaxTitleLength = 510;

// The real services, for the program.
WindowServices& Win32WindowServices();

}  // namespace platform
