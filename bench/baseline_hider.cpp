// The bare baseline for the benchmarks: the platform calls Veilkeeper makes to
// hide and show windows, through the same helpers, with nothing else (no
// dialog, no list, no icons, no titles). The hide-key's WM_HOTKEY hides the
// top-level window under the pointer; WM_APP shows the newest hidden window
// again; the Exit command shows every one, newest first, and ends the program.
//
// Options add Veilkeeper's own work, one part at a time, to show what each
// costs on this system:
//   /watch  the keyboard watch: every key of the keyboard comes to the window
//           as raw input, and is read;
//   /safe   before each hide, what makes it safe: the window's facts and
//           exemptions, its title, the active window, and an entry written
//           to the registry under a key held open (removed when the window
//           is shown); 15 ms after it, the windows it owns, of any thread,
//           found in one pass over the top-level windows and hidden.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "hotkey_ids.h"
#include "pointer.h"
#include "raw_keyboard.h"
#include "record_entry.h"
#include "resource.h"
#include "unique_handle.h"
#include "user_settings.h"
#include "window_queries.h"
#include "window_visibility.h"
#include "wide_text.h"

namespace {

constexpr wchar_t kEntriesKey[] = L"Software\\Veilkeeper\\BaselineEntries";

std::vector<HWND> g_hidden;
bool g_safe = false;
constexpr UINT_PTR kOwnedWindowsTimer = 1;
handles::unique_hkey g_entries;

std::wstring EntryNameOf(size_t index) {
    return hider::Wide(hider::EntryName(static_cast<std::uint32_t>(index)));
}

// The steps before a hide that keep it safe; whether the hide may go ahead.
bool MakeSafe(HWND target) {
    const std::optional<platform::WindowFacts> facts = platform::FactsOf(target);
    if (!facts || platform::IsExemptWindow(target, *facts)) {
        return false;
    }
    platform::TitleOf(target);  // for its row
    ::GetForegroundWindow();     // the window to make active at the restore
    const hider::RecordEntry entry{
        static_cast<std::uint32_t>(g_hidden.size()),
        {reinterpret_cast<std::uintptr_t>(target), facts->processId, facts->processStart, facts->threadId,
         hider::Utf16(facts->className)},
        {}};
    const std::wstring text = hider::Wide(hider::EncodeEntry(entry));
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    ::RegSetValueExW(g_entries.get(), EntryNameOf(g_hidden.size()).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    return true;
}

void ShowNewest() {
    platform::SetTargetVisible(g_hidden.back(), SW_SHOW);
    g_hidden.pop_back();
    if (g_safe) {
        ::RegDeleteValueW(g_entries.get(), EntryNameOf(g_hidden.size()).c_str());
    }
}

LRESULT CALLBACK BaselineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HOTKEY: {
        POINT pointer{};
        if (wParam == HOTKEY_HIDE_UNDER_CURSOR && platform::PointerPosition(pointer)) {
            HWND target = platform::TopLevelOf(platform::WindowAtPoint(pointer));
            if (target != nullptr && target != window && (!g_safe || MakeSafe(target))) {
                g_hidden.push_back(target);
                platform::SetTargetVisible(target, SW_HIDE);
                if (g_safe) {
                    ::SetTimer(window, kOwnedWindowsTimer, 15, nullptr);
                }
            }
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam == kOwnedWindowsTimer) {
            ::KillTimer(window, kOwnedWindowsTimer);
            for (const platform::OwnedWindow& owned : platform::OwnedWindowsOf(g_hidden.back())) {
                if (owned.visible) {
                    platform::SetTargetVisible(owned.window, SW_HIDE);
                }
            }
        }
        return 0;
    case WM_INPUT:
        platform::KeyEventOf(lParam);
        return ::DefWindowProcW(window, message, wParam, lParam);
    case WM_APP:
        if (!g_hidden.empty()) {
            ShowNewest();
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_EXIT) {
            while (!g_hidden.empty()) {
                ShowNewest();
            }
            ::DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const bool watch = std::wcsstr(commandLine, L"/watch") != nullptr;
    g_safe = std::wcsstr(commandLine, L"/safe") != nullptr;
    if (g_safe && ::RegCreateKeyExW(HKEY_CURRENT_USER, kEntriesKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                    nullptr, g_entries.put(), nullptr) != ERROR_SUCCESS) {
        g_entries.release();
        return 1;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &BaselineProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VeilkeeperBaseline";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Baseline", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, nullptr);
    ::RegisterHotKey(window, HOTKEY_HIDE_UNDER_CURSOR, 0, test::kDefaultHideKey);  // the key bench_driver presses
    if (watch) {
        platform::WatchRawKeyboard(window);
    }
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    if (g_safe) {
        g_entries.reset();
        ::RegDeleteKeyW(HKEY_CURRENT_USER, kEntriesKey);
    }
    return 0;
}
