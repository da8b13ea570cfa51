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
    WORD vk = 0;
    WORD modifiers = 0;
    m_hotKeyCtrl.GetHotKey(vk, modifiers);
    if (vk == 0 || (m_acceptKey && !m_acceptKey(vk, modifiers))) {
        ::MessageBoxW(m_hWnd, fw::ResourceString(IDS_HOTKEY_TAKEN).c_str(), fw::ResourceString(IDS_APP_TITLE).c_str(),
                      MB_OK | MB_ICONWARNING);
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_hotKeyCtrl.m_hWnd), TRUE);
        return;
    }
    m_wVk = vk;
    m_wModifiers = modifiers;
    CDialog::OnOK();
}
