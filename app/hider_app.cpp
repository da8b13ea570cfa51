#include "hider_app.h"

#include "hider_dlg.h"
#include "instance_library.h"
#include "registry_settings_store.h"
#include "registry_window_record.h"
#include "resource.h"

namespace {

void ShowStartupWarning(UINT textId) {
    const std::wstring text = fw::ResourceString(textId);
    const std::wstring title = fw::ResourceString(IDS_APP_TITLE);
    ::MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_ICONWARNING | MB_OK);
}

}  // namespace

CHiderApp theApp;

BEGIN_MESSAGE_MAP(CHiderApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CHiderApp::InitInstance() {
    app::InstanceLibrary library(m_hInstanceLib);
    switch (app::DecideStartup(library)) {
    case app::StartupDecision::FilesDamaged:
        ShowStartupWarning(IDS_FILES_DAMAGED);
        return FALSE;
    case app::StartupDecision::AlreadyRunning:
        ShowStartupWarning(IDS_ALREADY_RUNNING);
        // The running instance's window may be hidden with its show-key taken
        // by another program: bring it back, so its hidden windows are never
        // out of reach. The user just answered our warning, so we may let
        // it take the foreground.
        ::AllowSetForegroundWindow(ASFW_ANY);
        ::PostMessageW(HWND_BROADCAST, CHiderDlg::ShowMainWindowMessage(), 0, 0);
        return FALSE;
    case app::StartupDecision::Run:
        break;
    }

    CHiderDlg dlg(platform::Win32WindowServices(), settings::UserSettings(), hider::UserWindowRecord());
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;  // the run is over: no message loop follows
}

int CHiderApp::ExitInstance() {
    m_hInstanceLib.reset();
    return CWinApp::ExitInstance();
}
