// The main window: the finder, the two options, the command button and the
// list of hidden windows. It runs modally for the whole life of the program.
#pragma once

#include "framework.h"
#include "window_services.h"

class CHiderDlg : public CDialog {
public:
    explicit CHiderDlg(CWnd* pParent = nullptr);
    // With other window-system services, for tests.
    explicit CHiderDlg(platform::WindowServices& services, CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnAbout();

    BOOL m_bDragging = FALSE;
    SYSTEMTIME m_lastShowKeyTime{};
    WORD m_wHideKeyVk = 0xC0;
    WORD m_wHideKeyModifiers = 0;
    CListCtrl m_listHidden;
    CStatic m_finderIcon;
    BOOL m_bInvisibleOnDrop = TRUE;
    BOOL m_bHideSelfAfterShow = TRUE;
    HICON m_hIcon;  // shared resource icon: the system owns it
    CImageList m_imageList;

    platform::WindowServices& m_services;

    DECLARE_MESSAGE_MAP()
};
