// Window-system services that answer as a test says and record what the main
// window asked of them. Target windows are plain handle values: the main
// window only stores them and hands them back.
#pragma once

#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "window_services.h"

namespace test {

// The n-th target window of a test: a handle value no real window has.
inline HWND Target(int n) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x7E000000 + 0x10 * n));
}

class FakeWindowServices final : public platform::WindowServices {
public:
    struct Target {
        std::wstring title;
        HICON icon = nullptr;
        HWND topLevel = nullptr;  // none: the window is its own top-level window
        DWORD processId = 0x4000;
        DWORD threadId = 0x4004;
        std::wstring className = L"FakeWindow";
        std::vector<HWND> owned{};  // the windows it owns, top first
        DWORD style = WS_POPUP | WS_CAPTION;
        DWORD exStyle = 0;
        bool enabled = true;  // false: under a modal dialog
    };

    // What the main window did, in order: "hide", "show", "front", "menu", "warn".
    struct Call {
        std::string what;
        HWND window;
    };

    void AddTarget(HWND window, Target target) {
        std::lock_guard lock(m_mutex);
        m_targets[window] = std::move(target);
    }
    void SetPointer(POINT point, HWND windowThere) {
        std::lock_guard lock(m_mutex);
        m_pointer = point;
        m_windowAtPointer = windowThere;
    }
    // The window is closed: its handle names nothing.
    // Icon requests are recorded too, as "icon", from now on.
    void RecordIconRequests() {
        std::lock_guard lock(m_mutex);
        m_recordIconRequests = true;
    }
    void Close(HWND window) {
        std::lock_guard lock(m_mutex);
        auto found = m_targets.find(window);
        if (found != m_targets.end()) {
            Report(window, found->second.processId, platform::WindowChange::Destroyed);
            m_targets.erase(found);
        }
        m_hidden.erase(window);
    }
    // From now on, the shows, hides and destruction of the watched
    // processes' windows are reported, as the system does where it can.
    void ReportWindowEvents(bool report = true) {
        std::lock_guard lock(m_mutex);
        m_reportEvents = report;
    }
    std::vector<DWORD> WatchedProcesses() {
        std::lock_guard lock(m_mutex);
        return m_watchedProcesses;
    }
    void SetForeground(HWND window) {
        std::lock_guard lock(m_mutex);
        m_foreground = window;
    }
    // Under a modal dialog, or no longer.
    void Enable(HWND window, bool enabled) {
        std::lock_guard lock(m_mutex);
        m_targets[window].enabled = enabled;
    }
    // The window owns another from now on.
    void Own(HWND owner, HWND owned) {
        std::lock_guard lock(m_mutex);
        m_targets[owner].owned.insert(m_targets[owner].owned.begin(), owned);
    }
    // The handle now names a window of another process, as after reuse.
    void Reuse(HWND window, DWORD processId, DWORD threadId) {
        std::lock_guard lock(m_mutex);
        m_targets[window].processId = processId;
        m_targets[window].threadId = threadId;
    }
    // Its own program shows or hides it: nothing of Veilkeeper's is asked.
    void ShownByItsProgram(HWND window, bool shown) {
        std::lock_guard lock(m_mutex);
        ChangeVisibility(window, shown);
    }
    bool Visible(HWND window) {
        std::lock_guard lock(m_mutex);
        return m_targets.count(window) != 0 && !m_hidden[window];
    }
    // Its program hangs: requests are made, and wait in its queue.
    void Hang(HWND window) {
        std::lock_guard lock(m_mutex);
        m_hung.push_back(window);
    }
    // Show requests for the window cannot be made.
    void RefuseShow(HWND window, bool refuse = true) {
        std::lock_guard lock(m_mutex);
        m_refusedShows[window] = refuse;
    }
    void MarkDesktop(HWND window) {
        std::lock_guard lock(m_mutex);
        m_desktops.push_back(window);
    }
    std::vector<Call> Calls() {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    // The same, each as "hide 1", "show 2"... naming the targets by number;
    // a failing test prints them as they are.
    std::vector<std::string> Requests(size_t from = 0) {
        std::vector<std::string> requests;
        const auto calls = Calls();
        for (size_t i = from; i < calls.size(); ++i) {
            const auto n = (reinterpret_cast<UINT_PTR>(calls[i].window) - reinterpret_cast<UINT_PTR>(test::Target(0))) / 0x10;
            requests.push_back(calls[i].window == nullptr ? calls[i].what : calls[i].what + " " + std::to_string(n));
        }
        return requests;
    }
    // Hotkeys whose registration fails, as when another program holds them.
    void RefuseHotKey(int id) {
        std::lock_guard lock(m_mutex);
        m_refused.push_back(id);
    }
    // Combinations (registration form, without MOD_NOREPEAT) another program holds.
    void RefuseCombination(UINT modifiers, UINT virtualKey) {
        std::lock_guard lock(m_mutex);
        m_refusedCombinations.push_back({modifiers, virtualKey});
    }
    // The keyboard watch the main window set: its window, and whether it
    // watches now.
    struct Watch {
        HWND window = nullptr;
        bool watching = false;
        bool ended = false;
    };
    Watch KeyboardWatchState() {
        std::lock_guard lock(m_mutex);
        return m_watch;
    }
    // The clock, for now and for the message being handled; or, for a
    // message handled late, each apart.
    void SetClock(std::uint64_t ms) { SetClock(ms, ms); }
    void SetClock(std::uint64_t nowMs, std::uint64_t messageMs) {
        std::lock_guard lock(m_mutex);
        m_clockMs = nowMs;
        m_messageMs = messageMs;
    }
    // The left button as the system's input has it; down unless a test says.
    void SetLeftButton(bool down) {
        std::lock_guard lock(m_mutex);
        m_leftButtonDown = down;
    }
    // Whether the system takes a key as down.
    void SetKeyDown(UINT virtualKey, bool down) {
        std::lock_guard lock(m_mutex);
        m_keysDown[virtualKey] = down;
    }
    // The cursor last shown; none before any.
    HCURSOR CursorShape() {
        std::lock_guard lock(m_mutex);
        return m_cursorShape;
    }
    std::map<int, std::pair<UINT, UINT>> Registered() {
        std::lock_guard lock(m_mutex);
        return m_registered;
    }

    HWND WindowFromPoint(POINT) override {
        std::lock_guard lock(m_mutex);
        return m_windowAtPointer;
    }
    HWND TopLevelWindow(HWND window) override {
        std::lock_guard lock(m_mutex);
        auto found = m_targets.find(window);
        return found != m_targets.end() && found->second.topLevel != nullptr ? found->second.topLevel : window;
    }
    // A target as the test made it; any other real window is one of this
    // process's own.
    std::optional<platform::WindowFacts> DescribeWindow(HWND window) override {
        std::lock_guard lock(m_mutex);
        auto found = m_targets.find(window);
        if (found == m_targets.end()) {
            DWORD processId = 0;
            const DWORD threadId = ::GetWindowThreadProcessId(window, &processId);
            if (threadId == 0) {
                return std::nullopt;
            }
            return platform::WindowFacts{processId, 1, threadId, L"OwnWindow"};
        }
        return platform::WindowFacts{found->second.processId, 0x01DC0000'00000000ULL + found->second.processId,
                                     found->second.threadId, found->second.className};
    }
    bool IsExempt(HWND window, const platform::WindowFacts& facts) override {
        std::lock_guard lock(m_mutex);
        return facts.processId == ::GetCurrentProcessId() ||
               std::find(m_desktops.begin(), m_desktops.end(), window) != m_desktops.end();
    }
    bool IsShown(HWND window) override {
        std::lock_guard lock(m_mutex);
        return !m_hidden[window];
    }
    // Through owned windows of owned windows too, the top of each level first.
    std::vector<platform::OwnedWindow> OwnedWindows(HWND owner) override {
        std::lock_guard lock(m_mutex);
        std::vector<platform::OwnedWindow> owned;
        std::vector<HWND> owners{owner};
        for (size_t next = 0; next < owners.size() && owners.size() < 256; ++next) {
            auto found = m_targets.find(owners[next]);
            if (found == m_targets.end()) {
                continue;
            }
            for (HWND window : found->second.owned) {
                auto target = m_targets.find(window);
                if (target == m_targets.end() || window == owner) {
                    continue;
                }
                const DWORD style = target->second.style | (target->second.enabled ? 0 : WS_DISABLED);
                owned.push_back({window, style, target->second.exStyle, !m_hidden[window]});
                owners.push_back(window);
            }
        }
        return owned;
    }
    HWND ForegroundWindow() override {
        std::lock_guard lock(m_mutex);
        return m_foreground;
    }
    bool IsEnabled(HWND window) override {
        std::lock_guard lock(m_mutex);
        auto found = m_targets.find(window);
        return found == m_targets.end() || found->second.enabled;
    }
    bool WatchProcessWindows(HWND, UINT, DWORD processId) override {
        std::lock_guard lock(m_mutex);
        if (std::find(m_watchedProcesses.begin(), m_watchedProcesses.end(), processId) == m_watchedProcesses.end()) {
            m_watchedProcesses.push_back(processId);
        }
        return true;
    }
    void StopWatchingProcessWindows(DWORD processId) override {
        std::lock_guard lock(m_mutex);
        std::erase(m_watchedProcesses, processId);
    }
    std::vector<platform::WindowEvent> TakeWindowEvents() override {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_events, {});
    }
    bool IsWindowOfThread(HWND window, DWORD processId, DWORD threadId) override {
        std::lock_guard lock(m_mutex);
        auto found = m_targets.find(window);
        return found != m_targets.end() && found->second.processId == processId && found->second.threadId == threadId;
    }
    bool HideTarget(HWND window) override { return SetShown(window, false); }
    // "show" either way; a show in front is followed by "front" for the
    // window that ends on top.
    bool ShowTarget(HWND window, bool) override { return SetShown(window, true); }
    void BringToFront(HWND window) override { Record("front", window); }
    // The whole title: the caller cuts it. A closed window has none.
    std::wstring WindowTitle(HWND window) override {
        std::lock_guard lock(m_mutex);
        auto found = m_targets.find(window);
        return found != m_targets.end() ? found->second.title : std::wstring();
    }
    HICON WindowIcon(HWND window) override {
        std::lock_guard lock(m_mutex);
        if (m_recordIconRequests) {
            m_calls.push_back({"icon", window});
        }
        auto found = m_targets.find(window);
        return found != m_targets.end() ? found->second.icon : nullptr;
    }
    void RequestWindowMenu(HWND window, POINT) override { Record("menu", window); }
    void SoundWarning() override { Record("warn", nullptr); }
    bool CursorPos(POINT& point) override {
        std::lock_guard lock(m_mutex);
        point = m_pointer;
        return true;
    }
    bool LeftButtonDown() override {
        std::lock_guard lock(m_mutex);
        return m_leftButtonDown;
    }
    void CaptureMouse(HWND) override {}
    void ReleaseMouse() override {}
    void SetCursorShape(HCURSOR cursor) override {
        std::lock_guard lock(m_mutex);
        m_cursorShape = cursor;
    }
    bool RegisterHotKey(HWND, int id, UINT modifiers, UINT virtualKey) override {
        std::lock_guard lock(m_mutex);
        for (int refused : m_refused) {
            if (refused == id) {
                return false;
            }
        }
        for (const auto& [refusedModifiers, refusedKey] : m_refusedCombinations) {
            if (refusedModifiers == (modifiers & ~UINT{MOD_NOREPEAT}) && refusedKey == virtualKey) {
                return false;
            }
        }
        m_registered[id] = {modifiers, virtualKey};
        return true;
    }
    void UnregisterHotKey(HWND, int id) override {
        std::lock_guard lock(m_mutex);
        m_registered.erase(id);
    }
    bool WatchKeyboard(HWND window) override {
        std::lock_guard lock(m_mutex);
        m_watch = {window, true, false};
        return true;
    }
    void StopWatchingKeyboard() override {
        std::lock_guard lock(m_mutex);
        m_watch.watching = false;
        m_watch.ended = true;
    }
    // A test's WM_INPUT carries a pointer to the KeyEvent it stands for.
    std::optional<platform::KeyEvent> ReadKeyEvent(LPARAM rawInput) override {
        if (rawInput == 0) {
            return std::nullopt;
        }
        return *reinterpret_cast<const platform::KeyEvent*>(rawInput);
    }
    bool KeyInputQueued() override { return false; }  // each event is sent as it happens
    platform::KeyRepeat KeyRepeatSettings() override { return {}; }  // the system's defaults: 750 ms
    bool KeyIsDown(UINT virtualKey) override {
        std::lock_guard lock(m_mutex);
        return m_keysDown[virtualKey];
    }
    std::uint64_t NowMs() override {
        std::lock_guard lock(m_mutex);
        return m_clockMs;
    }
    std::uint64_t MessageTimeMs() override {
        std::lock_guard lock(m_mutex);
        return m_messageMs;
    }

private:
    bool SetShown(HWND window, bool show) {
        {
            std::lock_guard lock(m_mutex);
            if (show && m_refusedShows[window]) {
                return false;
            }
            if (std::find(m_hung.begin(), m_hung.end(), window) == m_hung.end()) {
                ChangeVisibility(window, show);
            }
        }
        Record(show ? "show" : "hide", window);
        return true;
    }

    // A window that changes visibility says so; one shown or hidden as it
    // already is does not.
    void ChangeVisibility(HWND window, bool shown) {
        if (m_hidden[window] == !shown) {
            return;
        }
        m_hidden[window] = !shown;
        auto found = m_targets.find(window);
        if (found != m_targets.end()) {
            Report(window, found->second.processId,
                   shown ? platform::WindowChange::Shown : platform::WindowChange::Hidden);
        }
    }
    void Report(HWND window, DWORD processId, platform::WindowChange change) {
        if (m_reportEvents && std::find(m_watchedProcesses.begin(), m_watchedProcesses.end(), processId) !=
                                  m_watchedProcesses.end()) {
            m_events.push_back({window, change});
        }
    }

    void Record(const char* what, HWND window) {
        std::lock_guard lock(m_mutex);
        m_calls.push_back({what, window});
    }

    std::mutex m_mutex;
    std::map<HWND, Target> m_targets;
    POINT m_pointer{};
    HWND m_windowAtPointer = nullptr;
    std::vector<Call> m_calls;
    bool m_recordIconRequests = false;
    std::map<int, std::pair<UINT, UINT>> m_registered;
    std::vector<int> m_refused;
    std::vector<std::pair<UINT, UINT>> m_refusedCombinations;
    Watch m_watch;
    std::uint64_t m_clockMs = 1'000'000;
    std::uint64_t m_messageMs = 1'000'000;
    std::map<UINT, bool> m_keysDown;
    HCURSOR m_cursorShape = nullptr;
    bool m_leftButtonDown = true;  // a test's WM_LBUTTONDOWN is a real press unless it says not
    std::map<HWND, bool> m_hidden;
    std::map<HWND, bool> m_refusedShows;
    std::vector<HWND> m_desktops;
    std::vector<HWND> m_hung;
    HWND m_foreground = nullptr;
    bool m_reportEvents = false;
    std::vector<DWORD> m_watchedProcesses;
    std::vector<platform::WindowEvent> m_events;
};

}  // namespace test
