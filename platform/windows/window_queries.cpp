#include "window_queries.h"

#include <map>

#include "unique_handle.h"
#include "window_services.h"

namespace platform {

HWND WindowAtPoint(POINT point) {
    return ::WindowFromPoint(point);
}

HWND TopLevelOf(HWND window) {
    while (window != nullptr && (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) {
        HWND parent = ::GetParent(window);
        if (parent == nullptr) {
            break;
        }
        window = parent;
    }
    return window;
}

std::wstring TitleOf(HWND window) {
    // For another program's window the text is read from the window manager,
    // not asked for with WM_GETTEXT, so a hung program cannot stall this.
    // One character more than a row holds: the caller cuts at a character
    // boundary, never inside a surrogate pair.
    wchar_t title[kMaxTitleLength + 2] = {};
    const int length = ::GetWindowTextW(window, title, static_cast<int>(std::size(title)));
    return std::wstring(title, length > 0 ? static_cast<size_t>(length) : 0);
}

bool IsWindowOfThread(HWND window, DWORD processId, DWORD threadId) {
    // No window, no thread: a closed window's handle gives thread 0.
    DWORD process = 0;
    return ::GetWindowThreadProcessId(window, &process) == threadId && threadId != 0 && process == processId;
}

namespace {

std::wstring ClassNameOf(HWND window) {
    wchar_t name[257] = {};  // class names are at most 256 characters
    const int length = ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    return ::GetWindowThreadProcessId(window, &process) != 0 ? process : 0;
}

ULONGLONG ProcessStart(DWORD processId) {
    handles::unique_handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!process || !::GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) {
        return 0;
    }
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

}  // namespace

bool IsExemptWindow(HWND window, const WindowFacts& facts) {
    if (window == nullptr || facts.processId == ::GetCurrentProcessId() || window == ::GetDesktopWindow()) {
        return true;
    }
    // The shell draws the desktop's icons and wallpaper in top-level windows
    // of its own: the shell window, and windows of the Progman and WorkerW
    // classes in its process.
    HWND shell = ::GetShellWindow();
    if (window == shell) {
        return true;
    }
    if (facts.className != L"Progman" && facts.className != L"WorkerW") {
        return false;
    }
    return shell == nullptr || facts.processId == ProcessOf(shell);
}

std::optional<WindowFacts> FactsOf(HWND window) {
    WindowFacts facts;
    facts.threadId = ::GetWindowThreadProcessId(window, &facts.processId);
    if (facts.threadId == 0) {
        return std::nullopt;
    }
    facts.processStart = ProcessStart(facts.processId);
    facts.className = ClassNameOf(window);
    return facts;
}

std::vector<OwnedWindow> OwnedWindowsOf(HWND owner) {
    std::vector<OwnedWindow> owned;
    if (owner == nullptr || ::GetWindowThreadProcessId(owner, nullptr) == 0) {
        return owned;
    }
    // One pass over all top-level windows, in stacking order, top first: a
    // program may own windows from any of its threads (and the system lets a
    // window of one process own another's), so no one thread's list will do.
    // Only each window's owner is asked; the chains are followed in what
    // that pass read.
    std::vector<HWND> windows;
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::map<HWND, HWND> ownerOf;
    for (HWND window : windows) {
        if (HWND above = ::GetWindow(window, GW_OWNER)) {
            ownerOf.emplace(window, above);
        }
    }
    constexpr int kDeepestOwnerChain = 32;  // a bound, should owners ever form a ring
    for (HWND window : windows) {
        auto above = ownerOf.find(window);
        for (int depth = 0; above != ownerOf.end() && above->second != owner && depth < kDeepestOwnerChain; ++depth) {
            above = ownerOf.find(above->second);
        }
        if (window == owner || above == ownerOf.end() || above->second != owner) {
            continue;
        }
        owned.push_back({window, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)),
                         static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)), ::IsWindowVisible(window) != FALSE});
    }
    return owned;
}

}  // namespace platform
