// The application: one static object, started and ended by the process entry.
#pragma once

#include <windows.h>

#include <string>

#include "cmd_target.h"
#include "wnd.h"

class CWinApp : public CCmdTarget {
public:
    CWinApp() noexcept;
    ~CWinApp() override;

    // The application's life: it runs inside InitInstance (its main window is
    // a modal dialog with its own loop) and returns FALSE, so no message loop of
    // the application's own follows; ExitInstance's result is the exit code.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Opens the user guide shipped beside the program.
    virtual void WinHelp();
    void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;
    std::wstring m_helpFilePath;  // the guide beside the program, named after it

protected:
    DECLARE_MESSAGE_MAP()
};

namespace fw {

// The application object, and its main window while it runs.
CWinApp* App() noexcept;
CWnd* MainWindow() noexcept;
HINSTANCE ResourceModule() noexcept;
std::wstring ResourceString(UINT nID);

// The body of the process entry point.
int RunApplication(HINSTANCE hInstance);

}  // namespace fw
