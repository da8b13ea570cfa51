#include "hotkey_dlg.h"

#include "resource.h"

CHotKeyDlg::CHotKeyDlg() noexcept : CDialog(IDD_HOTKEY_DIALOG) {}

void CHotKeyDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HOTKEY, m_hotKeyCtrl);
}

BOOL CHotKeyDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_hotKeyCtrl.SetHotKey(m_wVk, m_wModifiers);
    return TRUE;
}

void CHotKeyDlg::OnOK() {
    m_hotKeyCtrl.GetHotKey(m_wVk, m_wModifiers);
    CDialog::OnOK();
}
