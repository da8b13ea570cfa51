// The hotkey settings dialog: one hotkey control holding the hide-key.
#pragma once

#include "framework.h"

class CHotKeyDlg : public CDialog {
public:
    CHotKeyDlg() noexcept;

    WORD m_wVk = 0;         // virtual-key code: filled by the caller, read back after OK
    WORD m_wModifiers = 0;  // hotkey-control form: Shift 1, Control 2, Alt 4, extended key 8

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    CHotKeyCtrl m_hotKeyCtrl;
};
