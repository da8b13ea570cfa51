// A window: its handle, the few calls the dialogs make on it, and the dispatch
// of its messages through the message maps. A CWnd never destroys its window:
// the dialog manager does, and controls end with their dialog.
#pragma once

#include <windows.h>

#include "cmd_target.h"
#include "geometry.h"

class CWnd : public CCmdTarget {
public:
    CWnd() noexcept = default;
    explicit CWnd(HWND hWnd) noexcept : m_hWnd(hWnd) {}

    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
    }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    void ScreenToClient(LPRECT lpRect) const {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
    }
    void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }

    // Centres the window over its owner, or on the work area of its monitor
    // when it has no visible owner, and keeps it inside that work area.
    void CenterWindow();

    // Dispatches a message through the maps. True when a handler took it and
    // did not ask for the default processing; *pResult is then its result.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    HWND m_hWnd = nullptr;

protected:
    // Asks for the window manager's default processing of the message being
    // handled. It runs once the handler returns.
    LRESULT Default();

    // Base handlers: each only asks for the default processing.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnDestroy();
    void OnNcDestroy();
    void OnCaptureChanged();
    void OnCancelMode();
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    // F1: the Help command, as everywhere in the program.
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);

private:
    struct CurrentMessage {
        bool defaultRequested = false;
    };
    CurrentMessage* m_pCurrentMsg = nullptr;
};

namespace fw::thunk {
template <auto Fn>
LRESULT SetCursor(CCmdTarget& t, WPARAM wParam, LPARAM lParam) {
    CWnd window(reinterpret_cast<HWND>(wParam));
    return (target<Fn>(t).*Fn)(&window, LOWORD(lParam), HIWORD(lParam));
}
template <auto Fn>
LRESULT ContextMenu(CCmdTarget& t, WPARAM wParam, LPARAM lParam) {
    CWnd window(reinterpret_cast<HWND>(wParam));
    (target<Fn>(t).*Fn)(&window, CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    return 0;
}
}  // namespace fw::thunk
