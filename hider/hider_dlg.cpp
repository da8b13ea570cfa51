#include "hider_dlg.h"

#include "about_dlg.h"
#include "resource.h"

namespace {
constexpr int kImageSize = 16;
constexpr int kImagesAtFirst = 64;
constexpr int kImagesGrowBy = 8;
constexpr int kTitleColumnWidth = 271;
}  // namespace

CHiderDlg::CHiderDlg(CWnd* pParent) : CHiderDlg(platform::Win32WindowServices(), pParent) {}

CHiderDlg::CHiderDlg(platform::WindowServices& services, CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_services(services) {}

BEGIN_MESSAGE_MAP(CHiderDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(IDM_ABOUTBOX, &CHiderDlg::OnAbout)
END_MESSAGE_MAP()

void CHiderDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HIDDEN_LIST, m_listHidden);
    DDX_Control(pDX, IDC_FINDER, m_finderIcon);
    DDX_Check(pDX, IDC_INVISIBLE_ON_DROP, m_bInvisibleOnDrop);
    DDX_Check(pDX, IDC_HIDE_SELF_AFTER_SHOW, m_bHideSelfAfterShow);
}

BOOL CHiderDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        const std::wstring about = AfxLoadString(IDS_ABOUTBOX);
        if (!about.empty()) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    // Full colour with a mask: icons keep their colours and transparency.
    m_imageList.Create(kImageSize, kImageSize, ILC_COLOR32 | ILC_MASK, kImagesAtFirst, kImagesGrowBy);
    m_listHidden.InsertColumn(0, L"窗口名称", LVCFMT_LEFT, kTitleColumnWidth);
    m_listHidden.SetImageList(&m_imageList, LVSIL_SMALL);

    return TRUE;
}

void CHiderDlg::OnOK() {
    // Enter never closes the main window.
}

void CHiderDlg::OnCancel() {
    // Esc and the Cancel command only hide it: the program keeps running.
    ShowWindow(SW_HIDE);
}

void CHiderDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
    } else if (nID == SC_CLOSE) {
        ShowWindow(SW_HIDE);
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CHiderDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect client;
    GetClientRect(&client);
    const int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CHiderDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CHiderDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}
