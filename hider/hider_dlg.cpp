#include "hider_dlg.h"

#include "about_dlg.h"
#include "hotkey_dlg.h"
#include "hotkey_ids.h"
#include "hotkey_modifiers.h"
#include "registry_settings_store.h"
#include "resource.h"
#include "show_key_rule.h"

namespace {
constexpr int kImageSize = 16;
constexpr int kImagesAtFirst = 64;
constexpr int kImagesGrowBy = 8;
constexpr int kTitleColumnWidth = 271;

hider::TimeOfDay TimeOfDayOf(const SYSTEMTIME& time) {
    return {time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}
}  // namespace

CHiderDlg::CHiderDlg(CWnd* pParent) : CHiderDlg(platform::Win32WindowServices(), pParent) {}

CHiderDlg::CHiderDlg(platform::WindowServices& services, CWnd* pParent)
    : CHiderDlg(services, settings::UserSettings(), pParent) {}

CHiderDlg::CHiderDlg(platform::WindowServices& services, settings::SettingsStore& store, CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent),
      m_hIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_services(services),
      m_store(store) {}

BEGIN_MESSAGE_MAP(CHiderDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_MENU_BUTTON, &CHiderDlg::OnMenuButton)
    ON_NOTIFY(NM_DBLCLK, IDC_HIDDEN_LIST, &CHiderDlg::OnDblClkHiddenList)
    ON_BN_CLICKED(IDC_INVISIBLE_ON_DROP, &CHiderDlg::OnToggleInvisibleOnDrop)
    ON_BN_CLICKED(IDC_HIDE_SELF_AFTER_SHOW, &CHiderDlg::OnToggleHideSelfAfterShow)
    ON_NOTIFY(NM_RCLICK, IDC_HIDDEN_LIST, &CHiderDlg::OnRClickHiddenList)
    ON_WM_RBUTTONDOWN()
    ON_WM_HOTKEY()
    ON_COMMAND(IDM_ABOUTBOX, &CHiderDlg::OnAbout)
    ON_COMMAND(ID_EXIT, &CHiderDlg::OnExit)
    ON_COMMAND(ID_SET_HOTKEY, &CHiderDlg::OnSetHotKey)
END_MESSAGE_MAP()

UINT CHiderDlg::ShowMainWindowMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Veilkeeper.ShowMainWindow");
    return message;
}

bool CHiderDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    // A registered message has no fixed number for the static map.
    if (message != 0 && message == ShowMainWindowMessage()) {
        ShowWindow(SW_SHOW);
        SetForegroundWindow();
        *pResult = 0;
        return true;
    }
    return CDialog::OnWndMsg(message, wParam, lParam, pResult);
}

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
    m_listHidden.InsertColumn(0, AfxLoadString(IDS_TITLE_COLUMN).c_str(), LVCFMT_LEFT, kTitleColumnWidth);
    m_listHidden.SetImageList(&m_imageList, LVSIL_SMALL);

    RegisterShowKey();
    LoadSettings();
    // With the hide-key registered the dialog manager gives the list the
    // focus; without it no control has the focus at first.
    return RegisterHideKey();
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

void CHiderDlg::OnDestroy() {
    CDialog::OnDestroy();
    if (m_finderDrag.Dragging()) {
        m_services.ReleaseMouse();  // no mouse hook outlives the window
    }
    m_services.UnregisterHotKey(m_hWnd, HOTKEY_SHOW_SELF);
    m_services.UnregisterHotKey(m_hWnd, HOTKEY_HIDE_UNDER_CURSOR);
}

void CHiderDlg::RegisterShowKey() {
    m_services.RegisterHotKey(m_hWnd, HOTKEY_SHOW_SELF, hider::registration_form::kControl, VK_TAB);
}

BOOL CHiderDlg::RegisterHideKey() {
    const unsigned modifiers = hider::RegistrationModifiers(m_wHideKeyModifiers);
    return m_services.RegisterHotKey(m_hWnd, HOTKEY_HIDE_UNDER_CURSOR, modifiers, m_wHideKeyVk) ? TRUE : FALSE;
}

void CHiderDlg::UnregisterHideKey() {
    m_services.UnregisterHotKey(m_hWnd, HOTKEY_HIDE_UNDER_CURSOR);
}

void CHiderDlg::OnHotKey(UINT nHotKeyId, UINT, UINT) {
    if (nHotKeyId == HOTKEY_SHOW_SELF) {
        const SYSTEMTIME now = m_services.SystemTime();
        if (hider::IsDoublePress(TimeOfDayOf(m_lastShowKeyTime), TimeOfDayOf(now))) {
            ShowWindow(SW_SHOW);
        }
        m_lastShowKeyTime = now;
    } else if (nHotKeyId == HOTKEY_HIDE_UNDER_CURSOR) {
        POINT pointer{};
        if (m_services.CursorPos(pointer)) {
            HideWindowAt(pointer);
        }
    }
}

void CHiderDlg::HideWindowAt(POINT screenPoint) {
    HWND window = m_services.WindowFromPoint(screenPoint);
    if (window == nullptr) {
        return;
    }
    HWND topLevel = m_services.TopLevelWindow(window);
    HideTargetWindow(topLevel != nullptr ? topLevel : window);
}

void CHiderDlg::HideTargetWindow(HWND target) {
    if (target == nullptr || target == m_hWnd || m_services.BelongsToThisProgram(target)) {
        return;
    }
    HICON icon = m_services.WindowIcon(target);
    const int image = icon != nullptr ? m_imageList.Add(icon) : -1;
    std::wstring title = m_services.WindowTitle(target);

    LVITEMW row{};
    row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    row.iItem = 0;
    row.pszText = title.data();
    row.iImage = image;
    row.lParam = reinterpret_cast<LPARAM>(target);
    // The list is drawn again only once the target has been told to hide:
    // the user waits for the window to go, not for the list.
    m_listHidden.SendMessage(WM_SETREDRAW, FALSE);
    const bool recorded = m_listHidden.InsertItem(&row) >= 0;
    if (recorded) {
        m_services.ShowTarget(target, false);
    }
    m_listHidden.SendMessage(WM_SETREDRAW, TRUE);
}

HWND CHiderDlg::WindowOfRow(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!m_listHidden.GetItem(&item)) {
        return nullptr;
    }
    return reinterpret_cast<HWND>(item.lParam);
}

HWND CHiderDlg::WindowOfSelectedRow(int& row) const {
    row = m_listHidden.GetNextItem(-1, LVNI_SELECTED);
    return row >= 0 ? WindowOfRow(row) : nullptr;
}

void CHiderDlg::OnDblClkHiddenList(NMHDR*, LRESULT* pResult) {
    int row = -1;
    HWND window = WindowOfSelectedRow(row);
    if (window == nullptr) {
        return;
    }
    m_services.ShowTarget(window, true);
    m_listHidden.DeleteItem(row);
    if (m_bHideSelfAfterShow) {
        ShowWindow(SW_HIDE);
    }
    *pResult = 0;
}

void CHiderDlg::OnRClickHiddenList(NMHDR* pNMHDR, LRESULT* pResult) {
    int row = -1;
    HWND window = WindowOfSelectedRow(row);
    if (window == nullptr) {
        return;
    }
    POINT pointer{};
    if (!m_services.CursorPos(pointer)) {
        // Where the click was, as the list saw it.
        pointer = reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR)->ptAction;
        ::ClientToScreen(m_listHidden.m_hWnd, &pointer);
    }
    m_services.RequestWindowMenu(window, pointer);
    *pResult = 0;
}

void CHiderDlg::OnToggleInvisibleOnDrop() {
    // The automatic check box has already changed its own mark: the option
    // follows it, so a click reported by another program without one is none.
    const BOOL checked = ::IsDlgButtonChecked(m_hWnd, IDC_INVISIBLE_ON_DROP) == BST_CHECKED ? TRUE : FALSE;
    if (checked != m_bInvisibleOnDrop) {
        m_bInvisibleOnDrop = checked;
        m_store.SaveOption(settings::kInvisibleOnDrop, m_bInvisibleOnDrop != FALSE);
    }
}

void CHiderDlg::OnToggleHideSelfAfterShow() {
    const BOOL checked = ::IsDlgButtonChecked(m_hWnd, IDC_HIDE_SELF_AFTER_SHOW) == BST_CHECKED ? TRUE : FALSE;
    if (checked != m_bHideSelfAfterShow) {
        m_bHideSelfAfterShow = checked;
        m_store.SaveOption(settings::kHideSelfAfterShow, m_bHideSelfAfterShow != FALSE);
    }
}

void CHiderDlg::LoadSettings() {
    const settings::Settings current{m_wHideKeyVk, m_wHideKeyModifiers, m_bInvisibleOnDrop != FALSE,
                                     m_bHideSelfAfterShow != FALSE};
    const settings::Settings loaded = settings::Merge(current, m_store.Load());
    m_wHideKeyVk = loaded.hideKeyVk;
    m_wHideKeyModifiers = loaded.hideKeyModifiers;
    m_bInvisibleOnDrop = loaded.invisibleOnDrop ? TRUE : FALSE;
    m_bHideSelfAfterShow = loaded.hideSelfAfterShow ? TRUE : FALSE;
    UpdateData(FALSE);
}

void CHiderDlg::SaveHotKeySettings() {
    m_store.SaveHotKey(m_wHideKeyModifiers, m_wHideKeyVk);
}

void CHiderDlg::OnSetHotKey() {
    CHotKeyDlg dlg;
    dlg.m_wVk = m_wHideKeyVk;
    dlg.m_wModifiers = m_wHideKeyModifiers;
    // While the dialog is open the hide-key is free, so pressing it types it
    // into the control.
    UnregisterHideKey();
    if (dlg.DoModal() == IDOK) {
        m_wHideKeyModifiers = dlg.m_wModifiers;
        m_wHideKeyVk = dlg.m_wVk;
        SaveHotKeySettings();
    }
    RegisterHideKey();
}

void CHiderDlg::OnExit() {
    // Newest first, then the run ends through the framework's OK processing:
    // the class's own OnOK does nothing.
    while (m_listHidden.GetItemCount() > 0) {
        if (HWND window = WindowOfRow(0)) {
            m_services.ShowTarget(window, true);
        }
        if (!m_listHidden.DeleteItem(0)) {
            break;
        }
    }
    CDialog::OnOK();
}

void CHiderDlg::OnMenuButton() {
    fw::unique_hmenu menuBar(::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_COMMAND_MENU)));
    HMENU menu = menuBar ? ::GetSubMenu(menuBar.get(), 0) : nullptr;
    if (menu == nullptr) {
        return;
    }
    ::SetMenuDefaultItem(menu, 0, TRUE);

    CRect button;
    ::GetWindowRect(GetDlgItem(IDC_MENU_BUTTON), &button);
    SetForegroundWindow();
    // The chosen command arrives as WM_COMMAND once the menu has closed.
    ::TrackPopupMenu(menu, 0, button.right, button.top, 0, m_hWnd, nullptr);
    // Lets the menu's owner settle, so a click elsewhere closes the next menu too.
    ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

void CHiderDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    CRect finder;
    m_finderIcon.GetWindowRect(&finder);
    ScreenToClient(&finder);
    const bool onFinder = finder.PtInRect(point) && !m_finderDrag.Dragging();
    if (onFinder) {
        UpdateData(TRUE);  // both options follow their check boxes
    }
    Carry(m_finderDrag.LeftPress(onFinder, m_bInvisibleOnDrop != FALSE), point);
    CDialog::OnLButtonDown(nFlags, point);
}

void CHiderDlg::OnLButtonUp(UINT nFlags, CPoint point) {
    Carry(m_finderDrag.LeftRelease(), point);
    CDialog::OnLButtonUp(nFlags, point);
}

void CHiderDlg::OnRButtonDown(UINT nFlags, CPoint point) {
    Carry(m_finderDrag.RightPress(), point);
    CDialog::OnRButtonDown(nFlags, point);
}

BOOL CHiderDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (m_finderDrag.Dragging()) {
        m_services.ShowFinderCursor();
    }
    return CDialog::OnSetCursor(pWnd, nHitTest, message);
}

void CHiderDlg::Carry(const hider::DragEffects& effects, CPoint point) {
    if (effects.captureMouse) {
        m_services.CaptureMouse(m_hWnd);
    }
    if (effects.hideMainWindow) {
        ShowWindow(SW_HIDE);
    }
    if (effects.showFinderCursor) {
        m_services.ShowFinderCursor();
    }
    if (effects.releaseMouse) {
        m_services.ReleaseMouse();
    }
    if (effects.hideWindowAtPointer) {
        ClientToScreen(&point);
        HideWindowAt(point);
    }
    if (effects.showMainWindow) {
        ShowWindow(SW_SHOW);
    }
}
