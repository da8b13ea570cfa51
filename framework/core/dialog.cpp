#include "dialog.h"

#include <cstdio>
#include <exception>

#include "win_app.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    // Bound on every pass, so a dialog object run twice never keeps a control
    // handle of its earlier window.
    rControl.m_hWnd = pDX->m_pDlgWnd->GetDlgItem(nIDC);
}

void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value) {
    HWND dialog = pDX->m_pDlgWnd->m_hWnd;
    if (pDX->m_bSaveAndValidate) {
        value = ::IsDlgButtonChecked(dialog, nIDC) == BST_CHECKED ? TRUE : FALSE;
    } else {
        ::CheckDlgButton(dialog, nIDC, value != FALSE ? BST_CHECKED : BST_UNCHECKED);
    }
}

namespace {
// The dialog whose window this thread is creating: the only object a set-up
// message may name.
thread_local CDialog* t_pCreating = nullptr;
}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

HWND CDialog::OwnerForModalRun() const {
    if (m_pParentWnd != nullptr) {
        return m_pParentWnd->m_hWnd;
    }
    // Without an explicit parent, the main window owns the dialog, so it stays
    // above it and the main window is disabled while it runs.
    CWnd* mainWnd = fw::MainWindow();
    if (mainWnd != nullptr && mainWnd != this && ::IsWindow(mainWnd->m_hWnd)) {
        return mainWnd->m_hWnd;
    }
    return nullptr;
}

// Our own modal loop rather than DialogBox's: DialogBox shows the dialog again
// the first time its queue goes empty, which would undo a hide that came
// earlier (Esc pressed at once, say). A dialog here is shown once, when its
// set-up is done.
INT_PTR CDialog::DoModal() {
    HWND owner = OwnerForModalRun();
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner) {
        ::EnableWindow(owner, FALSE);
    }

    m_nModalResult = -1;
    m_bInModalLoop = true;
    t_pCreating = this;
    HWND dialog = ::CreateDialogParamW(fw::ResourceModule(), MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                       &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    t_pCreating = nullptr;
    if (dialog != nullptr) {
        if (m_bInModalLoop && !::IsWindowVisible(dialog)) {
            ::ShowWindow(dialog, SW_SHOWNORMAL);
        }
        RunModalLoop();
        // The owner comes back before the dialog goes, so the activation
        // returns to it rather than to another program.
        if (disableOwner) {
            ::EnableWindow(owner, TRUE);
        }
        if (owner != nullptr && ::GetActiveWindow() == dialog) {
            ::SetActiveWindow(owner);
        }
        m_bDestroying = true;
        ::DestroyWindow(dialog);
        m_bDestroying = false;
    } else if (disableOwner) {
        ::EnableWindow(owner, TRUE);
    }
    m_bInModalLoop = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (m_bInModalLoop && m_hWnd != nullptr) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside ours
            break;
        }
        if (got < 0) {
            break;
        }
        if (!::IsDialogMessageW(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bInModalLoop = false;
    // Wakes the loop, which may be waiting for a message.
    if (HWND dialog = m_hWnd) {
        ::PostMessageW(dialog, WM_NULL, 0, 0);
    }
}

void CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx{bSaveAndValidate, this};
    DoDataExchange(&dx);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

namespace {

// A handler's exception stops at the window procedure; it leaves a trace for a
// debugger before the message is dropped.
void ReportDroppedException(UINT message, const char* what) {
    char text[160];
    std::snprintf(text, sizeof text, "Veilkeeper: a handler of message 0x%04X threw (%s); message dropped\n",
                  message, what);
    ::OutputDebugStringA(text);
}

// Messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        // Any program can send or post this message with a value of its
        // choosing: only the set-up of the window being created names ours.
        if (lParam == 0 || lParam != reinterpret_cast<LPARAM>(t_pCreating) ||
            ::GetWindowLongPtrW(hDlg, DWLP_USER) != 0) {
            return FALSE;
        }
        t_pCreating = nullptr;
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = hDlg;
        ::SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hDlg, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;  // messages before WM_INITDIALOG: the dialog manager's own
    }
    // Any program can post WM_DESTROY or WM_NCDESTROY to any window. Only the
    // ones DestroyWindow sends while we end the dialog are its real end.
    if ((message == WM_DESTROY || message == WM_NCDESTROY) && !self->m_bDestroying) {
        return TRUE;
    }

    // No exception may cross into the window manager: a handler that throws
    // leaves the message to the default processing.
    INT_PTR answer = FALSE;
    try {
        answer = Dispatch(*self, message, wParam, lParam);
    } catch (const std::exception& e) {
        ReportDroppedException(message, e.what());
    } catch (...) {
        ReportDroppedException(message, "not a standard exception");
    }
    // The window's last message: whatever its handler did, the object lets
    // go of the window.
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hDlg, DWLP_USER, 0);
        self->m_hWnd = nullptr;
    }
    return answer;
}

INT_PTR CDialog::Dispatch(CDialog& self, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const BOOL result = self.OnInitDialog();
        // Set-up is done and the dialog is not yet shown: place it now.
        self.CenterWindow();
        return result;
    }

    LRESULT result = 0;
    if (!self.OnWndMsg(message, wParam, lParam, &result)) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    ::SetWindowLongPtrW(self.m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
