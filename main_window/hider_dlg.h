// The main window: the finder, the two options, the command button and the
// list of hidden windows. It runs modally for the whole life of the program.
// It dispatches: the keys are Hotkeys', the finder's drag FinderTool's, the
// rows and their record HiddenWindows', the menus main_menus'; the settings
// are its own, as its check boxes show them.
#pragma once

#include "finder_tool.h"
#include "framework.h"
#include "hidden_windows.h"
#include "hotkeys.h"
#include "settings_store.h"
#include "unique_handle.h"
#include "window_record.h"
#include "window_services.h"

class CHiderDlg : public CDialog {
public:
    // Everything outside the window comes from its creator: the program
    // passes the real services, settings store and record, tests their fakes.
    CHiderDlg(platform::WindowServices& services, settings::SettingsStore& store, hider::WindowRecord& record,
              CWnd* pParent = nullptr);

    // Asks a running instance to show its main window; sent by a second start
    // once it has said that one is already running.
    static UINT ShowMainWindowMessage();

    // Registers a key as the hide-key, for the settings dialog's OK. Refused:
    // no key, Control+Tab (the show-key), or a key the system will not give.
    bool TryHideKey(WORD vk, WORD modifiers);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    // Messages, in the message map.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    LRESULT OnShowMainWindowMessage(WPARAM wParam, LPARAM lParam);
    // The hidden windows' programs showed, hid or destroyed windows.
    static UINT WindowEventsMessage();
    LRESULT OnWindowEventsMessage(WPARAM wParam, LPARAM lParam);
    void OnAbout();
    void OnDestroy();
    void OnNcDestroy();
    void OnCaptureChanged();
    void OnCancelMode();
    void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2);
    void OnRawInput(UINT nInputCode, HRAWINPUT hRawInput);
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    void OnDblClkHiddenList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRClickHiddenList(NMHDR* pNMHDR, LRESULT* pResult);
    void OnToggleInvisibleOnDrop();
    void OnToggleHideSelfAfterShow();
    void OnExit();
    void OnEndSession(BOOL bEnding);
    void OnTimer(UINT_PTR nIDEvent);
    void OnMenuButton();
    void OnSetHotKey();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    // Both option check boxes: an option changes, and is saved, only when a
    // click changed its box (a click another program reports may not have).
    void ToggleOption(BOOL& option, const wchar_t* name);

    // The settings: loaded once at set-up, each change saved at once.
    void LoadSettings();
    void SaveHotKeySettings();
    // Starts watching the keyboard for the show-key, Control+Tab twice, whose
    // hotkey is registered only for the moment a second press may come. The
    // watch lives until the window is destroyed.
    void StartWatchingKeys();
    // Registers the hide-key held in the members; whether that succeeded.
    BOOL RegisterHideKey();
    void UnregisterHideKey();

    // Hides one window, with the windows it owns, and records it at the top
    // of the list. Veilkeeper's own windows and the desktop are never hidden,
    // and a window whose row or record entry could not be made stays visible:
    // nothing could bring it back.
    void HideTargetWindow(HWND target);
    // Hides the top-level window of the window at a screen point, if any.
    void HideWindowAt(POINT screenPoint);
    // Brings the window back, ready for the keyboard: the list has the focus,
    // the newest row selected.
    void ShowMainWindow();
    int SelectedRow() const;
    // Gives the selected row's window back, in front; whether there was one.
    bool RestoreSelectedRow();
    // Asks the selected row's window for its window menu at a screen point;
    // whether there was a window to ask.
    bool RequestWindowMenuOfSelectedRow(POINT screenPoint);
    // The title column's width: the list's client width, less a scroll bar.
    int TitleColumnWidth() const;
    // Does what a finder event leaves to the main window, in order.
    void Follow(const hider::FinderSteps& steps);
    // Ends a drag without a hide, before anything that may take a while.
    void CancelDrag();
    // Does what a key means.
    void Follow(hider::KeyMeaning meaning);

    // The settings: the store's defaults until LoadSettings; the options
    // always as their check boxes show them (UpdateData).
    static constexpr settings::Settings kDefaultSettings{};
    WORD m_wHideKeyVk = kDefaultSettings.hideKeyVk;
    WORD m_wHideKeyModifiers = kDefaultSettings.hideKeyModifiers;
    BOOL m_bInvisibleOnDrop = kDefaultSettings.invisibleOnDrop ? TRUE : FALSE;
    BOOL m_bHideSelfAfterShow = kDefaultSettings.hideSelfAfterShow ? TRUE : FALSE;

    CListCtrl m_listHidden;
    CStatic m_finderIcon;
    HICON m_hIcon;  // shared resource icon: the system owns it
    handles::unique_hicon m_finderImage;  // the finder's icon at this display's size

    platform::WindowServices& m_services;
    settings::SettingsStore& m_store;
    hider::FinderTool m_finder;  // the finder's drag
    hider::Hotkeys m_hotkeys;  // the show-key and the hide-key
    hider::HiddenWindows m_hiddenWindows;  // the rows, their images and their record

    DECLARE_MESSAGE_MAP()
};
