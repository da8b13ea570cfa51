// The hotkey settings dialog: one hotkey control holding the hide-key.
#pragma once

#include <functional>

#include "framework.h"

class CHotKeyDlg : public CDialog {
public:
    CHotKeyDlg() noexcept;

    WORD m_wVk = 0;         // virtual-key code: filled by the caller, read back after OK
    WORD m_wModifiers = 0;  // hotkey-control form: Shift 1, Control 2, Alt 4, extended key 8
    // Asked on OK whether the key can be had (the caller registers it). A key
    // refused, or no key at all, is said so and the dialog stays open.
    std::function<bool(WORD vk, WORD modifiers)> m_acceptKey;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    CHotKeyCtrl m_hotKeyCtrl;
};
