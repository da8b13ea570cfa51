#include "about_dlg.h"

#include "resource.h"

CAboutDlg::CAboutDlg() noexcept : CDialog(IDD_ABOUTBOX) {}
