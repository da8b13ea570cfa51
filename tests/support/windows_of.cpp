#include "windows_of.h"

#include "poll.h"

namespace test {

namespace {
struct Search {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfProcess(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || ::IsWindowVisible(window))) {
        search->found.push_back(window);
    }
    return TRUE;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<OwnedSearch*>(context);
    if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    return bytes;
}

BOOL CALLBACK CollectStatics(HWND window, LPARAM context) {
    if (ClassOf(window) == L"Static") {
        reinterpret_cast<std::vector<std::wstring>*>(context)->push_back(TextOf(window));
    }
    return TRUE;
}
}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId) {
    Search search{processId, true, {}};
    ::EnumWindows(&CollectOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VisibleWindowOf(DWORD processId, const wchar_t* className) {
    for (HWND window : VisibleWindowsOf(processId)) {
        if (ClassOf(window) == className) {
            return window;
        }
    }
    return nullptr;
}

std::optional<LRESULT> AnswerOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &answer)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(answer);
}

std::wstring TextOf(HWND window) {
    // Asked of the window itself: a control's text in another process is not
    // always kept by the window manager.
    wchar_t text[1024] = {};
    const auto length = AnswerOf(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return length ? std::wstring(text, static_cast<size_t>(*length)) : std::wstring();
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::vector<std::wstring> StaticTextsOf(HWND window) {
    std::vector<std::wstring> texts;
    ::EnumChildWindows(window, &CollectStatics, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string Described(HWND window) {
    if (window == nullptr) {
        return "none";
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return "\"" + Utf8(TextOf(window)) + "\" (process " + std::to_string(process) +
           (::IsWindowVisible(window) ? ", visible" : ", hidden") + (::IsWindowEnabled(window) ? ")" : ", disabled)");
}

std::string TopLevelWindowsDescribed(DWORD processId) {
    Search search{processId, false, {}};
    ::EnumWindows(&CollectOfProcess, reinterpret_cast<LPARAM>(&search));
    std::string described;
    for (HWND window : search.found) {
        described += (described.empty() ? "" : ", ") + Described(window);
    }
    return described.empty() ? "none" : described;
}

HWND WaitForVisibleDialog(const wchar_t* title, std::chrono::milliseconds timeout) {
    HWND dialog = nullptr;
    const bool shown = WaitFor(
        [&] {
            dialog = ::FindWindowW(L"#32770", title);
            return dialog != nullptr && ::IsWindowVisible(dialog);
        },
        timeout);
    return shown ? dialog : nullptr;
}

HWND WaitForOwnedWindow(HWND owner, std::chrono::milliseconds timeout) {
    OwnedSearch search{owner, nullptr};
    WaitFor(
        [&] {
            ::EnumWindows(&FindOwned, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeout);
    return search.found;
}

}  // namespace test
