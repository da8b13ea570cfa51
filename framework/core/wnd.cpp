#include "wnd.h"

#include <utility>

#include "framework_ids.h"
#include "win_app.h"

void CWnd::CenterWindow() {
    RECT work{};
    HMONITOR monitor = ::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        work = info.rcWork;
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }

    RECT centreOn = work;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &centreOn);
    }

    CRect window;
    GetWindowRect(&window);
    int x = (centreOn.left + centreOn.right - window.Width()) / 2;
    int y = (centreOn.top + centreOn.bottom - window.Height()) / 2;
    // Keep it whole on the work area even when the owner is near an edge.
    if (x + window.Width() > work.right) x = work.right - window.Width();
    if (y + window.Height() > work.bottom) y = work.bottom - window.Height();
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    UINT code = 0;
    UINT id = 0;
    if (!::IsWindowEnabled(m_hWnd) &&
        (message == WM_COMMAND || (message == WM_SYSCOMMAND && (wParam & 0xFFF0) < SC_SIZE))) {
        // Disabled while a dialog of ours runs over it, the window gets no
        // input: a command of ours now comes from a program, and would run a
        // second dialog inside the first, as deep as it is sent.
        *pResult = 0;
        return true;
    }
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    } else if (message == WM_NOTIFY) {
        // Our controls notify on this thread. From another thread or process
        // the pointer is nothing of ours to read.
        if (::InSendMessageEx(nullptr) != ISMEX_NOSEND) {
            return false;
        }
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header == nullptr) {
            return false;  // not a notification any control sends
        }
        code = header->code;
        id = static_cast<UINT>(header->idFrom);
    }

    const MessageMapEntry* entry = FindMessageEntry(message, code, id);
    if (entry == nullptr) {
        // A command no window handles goes on to the application; F1 becomes
        // the Help command, as everywhere in the program.
        if (message == WM_COMMAND && fw::App() != nullptr && fw::App()->OnCmdMsg(id, code)) {
            *pResult = 0;
            return true;
        }
        if (message == WM_HELP) {
            *pResult = OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam));
            return true;
        }
        return false;
    }

    // The message being handled, for Default(); put back however the handler
    // leaves, an exception included.
    CurrentMessage current;
    struct Restore {
        CurrentMessage*& slot;
        CurrentMessage* outer;
        ~Restore() { slot = outer; }
    } restore{m_pCurrentMsg, std::exchange(m_pCurrentMsg, &current)};
    *pResult = entry->thunk(*this, wParam, lParam);
    return !current.defaultRequested;
}

LRESULT CWnd::Default() {
    if (m_pCurrentMsg != nullptr) {
        m_pCurrentMsg->defaultRequested = true;
    }
    return 0;
}

void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnCaptureChanged() { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
BOOL CWnd::OnHelpInfo(HELPINFO*) {
    SendMessage(WM_COMMAND, ID_HELP);
    return TRUE;
}
