// A dialog run modally from a resource template, with the data exchange that
// binds its controls and check boxes to members.
#pragma once

#include <atomic>

#include "wnd.h"

class CDialog;

// One pass of the data exchange: values go to the controls, or come back.
struct CDataExchange {
    BOOL m_bSaveAndValidate;  // TRUE: controls to members
    CDialog* m_pDlgWnd;
};

// Binds a control of the dialog to its wrapper.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// Exchanges a check box's state with a flag: any non-zero flag shows a check
// mark, and a check mark reads back as 1.
void DDX_Check(CDataExchange* pDX, int nIDC, BOOL& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr) noexcept
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    // Creates the dialog, shows it, and runs its message loop with the owner
    // disabled until EndDialog; EndDialog's result, or -1 when the dialog could
    // not be created.
    virtual INT_PTR DoModal();
    // Ends the modal run with this result. Safe from any thread.
    void EndDialog(int nResult);
    // Runs the data exchange: TRUE takes the controls into the members, FALSE
    // shows the members in the controls.
    void UpdateData(BOOL bSaveAndValidate = TRUE);
    // Gives a control the keyboard focus, as the Tab key would.
    void GotoDlgCtrl(CWnd* pWndCtrl) { SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), TRUE); }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Shows the members in the controls; TRUE lets the dialog manager give the
    // focus to the first control with a tab stop.
    virtual BOOL OnInitDialog();
    // Takes the controls into the members and ends the run with IDOK.
    virtual void OnOK();
    // Ends the run with IDCANCEL.
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
    // One message to the object's handlers; the dialog procedure's answer.
    static INT_PTR Dispatch(CDialog& self, UINT message, WPARAM wParam, LPARAM lParam);
    HWND OwnerForModalRun() const;
    void RunModalLoop();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    std::atomic<bool> m_bInModalLoop{false};
    std::atomic<INT_PTR> m_nModalResult{-1};
    bool m_bDestroying = false;  // the run is over and its window is being destroyed
};
