#include "hider_dlg.h"

#include <algorithm>
#include <optional>

#include "about_dlg.h"
#include "hotkey_dlg.h"
#include "main_menus.h"
#include "resource.h"

CHiderDlg::CHiderDlg(platform::WindowServices& services, settings::SettingsStore& store, hider::WindowRecord& record,
                     CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent),
      m_hIcon(::LoadIconW(fw::ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_services(services),
      m_store(store),
      m_finder(services, ::LoadCursorW(fw::ResourceModule(), MAKEINTRESOURCEW(IDC_FINDER_CURSOR))),
      m_hotkeys(services),
      m_hiddenWindows(services, record) {}

BEGIN_MESSAGE_MAP(CHiderDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
    ON_WM_NCDESTROY()
    ON_WM_CAPTURECHANGED()
    ON_WM_CANCELMODE()
    ON_BN_CLICKED(IDC_MENU_BUTTON, &CHiderDlg::OnMenuButton)
    ON_NOTIFY(NM_DBLCLK, IDC_HIDDEN_LIST, &CHiderDlg::OnDblClkHiddenList)
    ON_BN_CLICKED(IDC_INVISIBLE_ON_DROP, &CHiderDlg::OnToggleInvisibleOnDrop)
    ON_BN_CLICKED(IDC_HIDE_SELF_AFTER_SHOW, &CHiderDlg::OnToggleHideSelfAfterShow)
    ON_NOTIFY(NM_RCLICK, IDC_HIDDEN_LIST, &CHiderDlg::OnRClickHiddenList)
    ON_WM_RBUTTONDOWN()
    ON_WM_HOTKEY()
    ON_WM_INPUT()
    ON_WM_CONTEXTMENU()
    ON_COMMAND(IDM_ABOUTBOX, &CHiderDlg::OnAbout)
    ON_COMMAND(ID_EXIT, &CHiderDlg::OnExit)
    ON_COMMAND(ID_SET_HOTKEY, &CHiderDlg::OnSetHotKey)
    ON_WM_ENDSESSION()
    ON_WM_TIMER()
    ON_WM_HELPINFO()
    ON_REGISTERED_MESSAGE(&CHiderDlg::ShowMainWindowMessage, &CHiderDlg::OnShowMainWindowMessage)
    ON_REGISTERED_MESSAGE(&CHiderDlg::WindowEventsMessage, &CHiderDlg::OnWindowEventsMessage)
END_MESSAGE_MAP()

UINT CHiderDlg::ShowMainWindowMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Veilkeeper.ShowMainWindow");
    return message;
}

UINT CHiderDlg::WindowEventsMessage() {
    return hider::HiddenWindows::kWindowEventsMessage;
}

LRESULT CHiderDlg::OnWindowEventsMessage(WPARAM, LPARAM) {
    // Carries nothing to believe: the events wait in the services' queue.
    m_hiddenWindows.OnWindowEvents();
    return 0;
}

LRESULT CHiderDlg::OnShowMainWindowMessage(WPARAM, LPARAM) {
    ShowMainWindow();
    return 0;
}

BOOL CHiderDlg::OnHelpInfo(HELPINFO* pHelpInfo) {
    CancelDrag();  // then on to the user guide
    return CDialog::OnHelpInfo(pHelpInfo);
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
    hider::AddAboutToWindowMenu(m_hWnd);

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    // The template's icon is loaded at the default size; at any other DPI the
    // finder shows the icon drawn for this display's size.
    m_finderImage.reset(static_cast<HICON>(::LoadImageW(fw::ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                        IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                                        ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR)));
    if (m_finderImage) {
        m_finderIcon.SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(m_finderImage.get()));
    }

    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);

    m_listHidden.InsertColumn(0, fw::ResourceString(IDS_TITLE_COLUMN).c_str(), LVCFMT_LEFT, TitleColumnWidth());
    // Lists again what an end without Exit left hidden.
    m_hiddenWindows.Attach(m_hWnd, m_listHidden);
    m_finder.Attach(m_hWnd);

    StartWatchingKeys();
    LoadSettings();
    // With the hide-key registered the dialog manager gives the list the
    // focus; without it no control has the focus at first.
    return RegisterHideKey();
}

int CHiderDlg::TitleColumnWidth() const {
    // The list's whole width, less room for a vertical scroll bar: titles get
    // all the space at any DPI and never need a horizontal bar.
    RECT client{};
    ::GetClientRect(m_listHidden.m_hWnd, &client);
    return std::max(0, static_cast<int>(client.right) - ::GetSystemMetrics(SM_CXVSCROLL));
}

void CHiderDlg::OnOK() {
    // Enter never closes the main window. On the list it gives the selected
    // row's window back, as a double-click does: hidden by key, restored by key.
    if (::GetFocus() == m_listHidden.m_hWnd) {
        RestoreSelectedRow();
    }
}

void CHiderDlg::ShowMainWindow() {
    ShowWindow(SW_SHOW);
    SetForegroundWindow();
    // Ready for Enter: the newest hidden window comes back with it.
    if (m_listHidden.GetItemCount() > 0) {
        m_listHidden.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        m_listHidden.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        m_listHidden.EnsureVisible(0, FALSE);
    }
    GotoDlgCtrl(&m_listHidden);
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
    CancelDrag();
    CAboutDlg about;
    about.DoModal();
}

void CHiderDlg::OnDestroy() {
    // However the window ends (a posted WM_QUIT ends the modal loop, which
    // then destroys it), the windows still listed come back first, while the
    // list is still there.
    m_hiddenWindows.RestoreAll();
    CDialog::OnDestroy();
}

void CHiderDlg::OnNcDestroy() {
    // The window's very last message: the hotkey and the keyboard watch go
    // with the window itself, and so does the drag's capture.
    m_finder.WindowGone();
    m_hotkeys.Stop();
    CDialog::OnNcDestroy();
}

void CHiderDlg::StartWatchingKeys() {
    m_hotkeys.Start(m_hWnd);
}

BOOL CHiderDlg::RegisterHideKey() {
    return TryHideKey(m_wHideKeyVk, m_wHideKeyModifiers) ? TRUE : FALSE;
}

bool CHiderDlg::TryHideKey(WORD vk, WORD modifiers) {
    return m_hotkeys.SetHideKey(vk, modifiers);
}

void CHiderDlg::UnregisterHideKey() {
    m_hotkeys.ReleaseHideKey();
}

void CHiderDlg::OnHotKey(UINT nHotKeyId, UINT, UINT) {
    Follow(m_hotkeys.OnHotKey(static_cast<int>(nHotKeyId)));
}

void CHiderDlg::OnRawInput(UINT nInputCode, HRAWINPUT hRawInput) {
    Follow(m_hotkeys.OnKeyInput(reinterpret_cast<LPARAM>(hRawInput)));
    // Input that came while Veilkeeper had the keyboard is the system's to
    // clean up after.
    if (nInputCode == RIM_INPUT) {
        Default();
    }
}

void CHiderDlg::Follow(hider::KeyMeaning meaning) {
    POINT pointer{};
    switch (meaning) {
    case hider::KeyMeaning::ShowMainWindow:
        ShowMainWindow();
        break;
    case hider::KeyMeaning::HidePress:
        if (m_services.CursorPos(pointer)) {
            HideWindowAt(pointer);
        }
        break;
    case hider::KeyMeaning::Nothing:
        break;
    }
}

void CHiderDlg::HideWindowAt(POINT screenPoint) {
    HWND window = m_services.WindowFromPoint(screenPoint);
    if (window == nullptr) {
        return;
    }
    // Up to the top-level window first: a window whose parent is the desktop
    // leads to the desktop, which the exemptions then turn down.
    HWND topLevel = m_services.TopLevelWindow(window);
    HideTargetWindow(topLevel != nullptr ? topLevel : window);
}

void CHiderDlg::HideTargetWindow(HWND target) {
    if (target == nullptr || target == m_hWnd) {
        return;
    }
    // Read once: the exemptions and the row are decided on the same facts.
    const std::optional<platform::WindowFacts> facts = m_services.DescribeWindow(target);
    if (!facts || m_services.IsExempt(target, *facts)) {
        return;
    }
    // A window that could not be recorded stays on screen: the user hears so.
    if (m_hiddenWindows.Hide(target, *facts) == hider::HideResult::NotRecorded) {
        m_services.SoundWarning();
    }
}

int CHiderDlg::SelectedRow() const {
    return m_listHidden.GetNextItem(-1, LVNI_SELECTED);
}

void CHiderDlg::OnDblClkHiddenList(NMHDR*, LRESULT* pResult) {
    if (RestoreSelectedRow()) {
        *pResult = 0;
    }
}

bool CHiderDlg::RestoreSelectedRow() {
    const int row = SelectedRow();
    if (row < 0) {
        return false;
    }
    // The user acted here: the window comes back in front and active.
    const hider::RestoreResult result = m_hiddenWindows.Restore(row, true);
    if (result == hider::RestoreResult::NoRow) {
        return false;
    }
    // Only a window that came back takes Veilkeeper's place on screen.
    if (result == hider::RestoreResult::Shown && m_bHideSelfAfterShow) {
        ShowWindow(SW_HIDE);
    }
    return true;
}

void CHiderDlg::OnRClickHiddenList(NMHDR* pNMHDR, LRESULT* pResult) {
    POINT pointer{};
    if (!m_services.CursorPos(pointer)) {
        // Where the click was, as the list saw it.
        pointer = reinterpret_cast<const NMITEMACTIVATE*>(pNMHDR)->ptAction;
        ::ClientToScreen(m_listHidden.m_hWnd, &pointer);
    }
    if (RequestWindowMenuOfSelectedRow(pointer)) {
        *pResult = 0;
    }
}

void CHiderDlg::OnContextMenu(CWnd* pWnd, CPoint pos) {
    // The context-menu key or Shift+F10 on the list: the same request as a
    // right-click, at the row's place. A right-click's own WM_CONTEXTMENU,
    // at the pointer, follows its notification: that one is answered.
    const int row = SelectedRow();
    RECT rowRect{};
    if (pWnd->m_hWnd != m_listHidden.m_hWnd || pos.x != -1 || pos.y != -1 || row < 0 ||
        !m_listHidden.GetItemRect(row, &rowRect, LVIR_LABEL)) {
        CDialog::OnContextMenu(pWnd, pos);
        return;
    }
    POINT below{rowRect.left, rowRect.bottom};
    ::ClientToScreen(m_listHidden.m_hWnd, &below);
    RequestWindowMenuOfSelectedRow(below);
}

bool CHiderDlg::RequestWindowMenuOfSelectedRow(POINT screenPoint) {
    const int row = SelectedRow();
    HWND window = row >= 0 ? m_hiddenWindows.WindowOfRow(row) : nullptr;
    if (window == nullptr) {
        return false;
    }
    m_services.RequestWindowMenu(window, screenPoint);
    return true;
}

void CHiderDlg::OnToggleInvisibleOnDrop() {
    ToggleOption(m_bInvisibleOnDrop, settings::kInvisibleOnDrop);
}

void CHiderDlg::OnToggleHideSelfAfterShow() {
    ToggleOption(m_bHideSelfAfterShow, settings::kHideSelfAfterShow);
}

void CHiderDlg::ToggleOption(BOOL& option, const wchar_t* name) {
    // The automatic check boxes have already changed their own marks: the
    // members take them, as everywhere, through the data exchange.
    const BOOL before = option;
    UpdateData(TRUE);
    if (option != before) {
        m_store.SaveOption(name, option != FALSE);
    }
}

void CHiderDlg::LoadSettings() {
    // What is stored, over the defaults.
    const settings::Settings loaded = settings::Merge(kDefaultSettings, m_store.Load());
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
    CancelDrag();
    CHotKeyDlg dlg;
    dlg.m_wVk = m_wHideKeyVk;
    dlg.m_wModifiers = m_wHideKeyModifiers;
    // OK takes only a key that could be registered; it stays registered.
    dlg.m_acceptKey = [this](WORD vk, WORD modifiers) { return TryHideKey(vk, modifiers); };
    // While the dialog is open the hide-key is free, so pressing it types it
    // into the control.
    UnregisterHideKey();
    if (dlg.DoModal() == IDOK) {
        m_wHideKeyModifiers = dlg.m_wModifiers;
        m_wHideKeyVk = dlg.m_wVk;
        SaveHotKeySettings();
    } else {
        RegisterHideKey();
    }
}

void CHiderDlg::OnExit() {
    // Newest first, then the run ends through the framework's OK processing:
    // the class's own OnOK does nothing.
    m_hiddenWindows.RestoreAll();
    CDialog::OnOK();
}

void CHiderDlg::OnEndSession(BOOL bEnding) {
    // Log-off, shutdown, or the system asking Veilkeeper to close: the process
    // may be ended as soon as this returns, so the windows come back now, and
    // the run ends as after Exit.
    if (bEnding) {
        m_hiddenWindows.RestoreAll();
        CDialog::OnOK();
    }
}

void CHiderDlg::OnTimer(UINT_PTR nIDEvent) {
    if (const std::optional<hider::KeyMeaning> meaning = m_hotkeys.OnTimer(nIDEvent)) {
        Follow(*meaning);
        return;
    }
    if (m_hiddenWindows.OnTimer(nIDEvent) == hider::TimerResult::OwnedWindowsStayed) {
        m_services.SoundWarning();  // the user hears that not all of it went
    }
}

void CHiderDlg::OnMenuButton() {
    CancelDrag();
    hider::TrackCommandMenu(m_hWnd, GetDlgItem(IDC_MENU_BUTTON));
}

void CHiderDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    CRect finder;
    m_finderIcon.GetWindowRect(&finder);
    ScreenToClient(&finder);
    // Only a real press starts a drag: another program can post a press, but
    // not hold the button down, and a drag it started would end with a hide
    // at the user's next ordinary click.
    const bool onFinder = finder.PtInRect(point) && !m_finder.Dragging() && m_services.LeftButtonDown();
    if (onFinder) {
        UpdateData(TRUE);  // both options follow their check boxes
    }
    Follow(m_finder.LeftPress(onFinder, m_bInvisibleOnDrop != FALSE));
    CDialog::OnLButtonDown(nFlags, point);
}

void CHiderDlg::OnLButtonUp(UINT nFlags, CPoint point) {
    Follow(m_finder.LeftRelease());
    CDialog::OnLButtonUp(nFlags, point);
}

void CHiderDlg::OnRButtonDown(UINT nFlags, CPoint point) {
    Follow(m_finder.RightPress());
    CDialog::OnRButtonDown(nFlags, point);
}

BOOL CHiderDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    return m_finder.KeepCursor() ? TRUE : CDialog::OnSetCursor(pWnd, nHitTest, message);
}

void CHiderDlg::OnCaptureChanged() {
    // Our own release comes here too, once the drag is already over.
    CancelDrag();
    CDialog::OnCaptureChanged();
}

void CHiderDlg::OnCancelMode() {
    CancelDrag();
    CDialog::OnCancelMode();
}

void CHiderDlg::CancelDrag() {
    Follow(m_finder.Cancel());
}

void CHiderDlg::Follow(const hider::FinderSteps& steps) {
    if (steps.hideMainWindow) {
        ShowWindow(SW_HIDE);
    }
    // Where the pointer is now, in this program's coordinates; a release
    // whose place cannot be read hides nothing.
    POINT pointer{};
    if (steps.hideWindowAtPointer && m_services.CursorPos(pointer)) {
        HideWindowAt(pointer);
    }
    if (steps.showMainWindow) {
        ShowMainWindow();
    }
}
