#include "win_app.h"

#include <shellapi.h>

#include "framework_ids.h"
#include "posted_messages.h"

namespace {
CWinApp* g_app = nullptr;

std::wstring ModulePath(HINSTANCE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
}  // namespace

CWinApp::CWinApp() noexcept {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

BOOL CWinApp::InitInstance() {
    return FALSE;
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::WinHelp() {
    if (m_helpFilePath.empty()) {
        return;
    }
    HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
    ::ShellExecuteW(owner, L"open", m_helpFilePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CWinApp::OnHelp() {
    WinHelp();
}

CWinApp* fw::App() noexcept {
    return g_app;
}

CWnd* fw::MainWindow() noexcept {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE fw::ResourceModule() noexcept {
    // Resources live in the program itself.
    return ::GetModuleHandleW(nullptr);
}

std::wstring fw::ResourceString(UINT nID) {
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(fw::ResourceModule(), nID, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

int fw::RunApplication(HINSTANCE hInstance) {
    CWinApp* app = fw::App();
    if (app == nullptr) {
        return -1;
    }
    app->m_hInstance = hInstance;

    std::wstring help = ModulePath(hInstance);
    const size_t dot = help.find_last_of(L'.');
    const size_t slash = help.find_last_of(L"\\/");
    if (!help.empty()) {
        help.resize(dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash) ? dot : help.size());
        app->m_helpFilePath = help + L".html";
    }

    // The dialogs' list views and hotkey controls need their classes before
    // any dialog is created.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&classes);

    // The whole run; there is no application loop to start after it.
    const fw::PostedMessageFilter postedMessages;
    app->InitInstance();
    return app->ExitInstance();
}
