// The application object: the single-instance guard, then the main window.
#pragma once

#include "framework.h"
#include "unique_handle.h"

class CHiderApp : public CWinApp {
public:
    CHiderApp() noexcept = default;

    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    handles::unique_hmodule m_hInstanceLib;  // the instance-count library, for the whole run

    DECLARE_MESSAGE_MAP()
};
