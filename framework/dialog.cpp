#include "dialog.h"

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
    CWnd* mainWnd = AfxGetMainWnd();
    if (mainWnd != nullptr && mainWnd != this && ::IsWindow(mainWnd->m_hWnd)) {
        return mainWnd->m_hWnd;
    }
    return nullptr;
}

INT_PTR CDialog::DoModal() {
    return ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), OwnerForModalRun(),
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(int nResult) {
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx{bSaveAndValidate, this};
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

namespace {

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
        self = reinterpret_cast<CDialog*>(lParam);
        self->m_hWnd = hDlg;
        ::SetWindowLongPtrW(hDlg, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hDlg, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;  // messages before WM_INITDIALOG: the dialog manager's own
    }

    // No exception may cross into the window manager: a handler that throws
    // leaves the message to the default processing.
    try {
        if (message == WM_INITDIALOG) {
            const BOOL result = self->OnInitDialog();
            // Set-up is done and the dialog is not yet shown: place it now.
            self->CenterWindow();
            return result;
        }

        LRESULT result = 0;
        const bool handled = self->OnWndMsg(message, wParam, lParam, &result);
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hDlg, DWLP_USER, 0);
            self->m_hWnd = nullptr;
        }
        if (!handled) {
            return FALSE;
        }
        if (ReturnsResultDirectly(message)) {
            return static_cast<INT_PTR>(result);
        }
        ::SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, result);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}
