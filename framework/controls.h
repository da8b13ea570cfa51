// Wrappers of the controls the dialogs bind: each only forwards to its window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "image_list.h"
#include "wnd.h"

class CStatic : public CWnd {};

class CListCtrl : public CWnd {
public:
    int InsertColumn(int nCol, LPCWSTR heading, int nFormat, int nWidth) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = nFormat;
        column.cx = nWidth;
        column.pszText = const_cast<LPWSTR>(heading);
        return ListView_InsertColumn(m_hWnd, nCol, &column);
    }
    // The list only borrows the image list: its owner is the CImageList, so the
    // list must not destroy it with itself.
    void SetImageList(CImageList* pImageList, int nImageListType) {
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | LVS_SHAREIMAGELISTS);
        ListView_SetImageList(m_hWnd, pImageList->GetSafeHandle(), nImageListType);
    }
    int InsertItem(const LVITEMW* pItem) { return ListView_InsertItem(m_hWnd, pItem); }
    BOOL GetItem(LVITEMW* pItem) const { return ListView_GetItem(m_hWnd, pItem); }
    BOOL SetItem(const LVITEMW* pItem) { return ListView_SetItem(m_hWnd, pItem); }
    int FindItem(const LVFINDINFOW* pFindInfo, int nStart = -1) const {
        return ListView_FindItem(m_hWnd, nStart, pFindInfo);
    }
    int GetNextItem(int nItem, int nFlags) const { return ListView_GetNextItem(m_hWnd, nItem, nFlags); }
    BOOL DeleteItem(int nItem) { return ListView_DeleteItem(m_hWnd, nItem); }
    int GetItemCount() const { return ListView_GetItemCount(m_hWnd); }
    // nItem -1: every item.
    void SetItemState(int nItem, UINT nState, UINT nMask) { ListView_SetItemState(m_hWnd, nItem, nState, nMask); }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK) { return ListView_EnsureVisible(m_hWnd, nItem, bPartialOK); }
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
        return ListView_GetItemRect(m_hWnd, nItem, lpRect, nCode);
    }
};

class CHotKeyCtrl : public CWnd {
public:
    void SetHotKey(WORD wVirtualKeyCode, WORD wModifiers) {
        SendMessage(HKM_SETHOTKEY, MAKEWORD(LOBYTE(wVirtualKeyCode), LOBYTE(wModifiers)));
    }
    void GetHotKey(WORD& wVirtualKeyCode, WORD& wModifiers) {
        const auto value = static_cast<DWORD>(SendMessage(HKM_GETHOTKEY));
        wVirtualKeyCode = LOBYTE(LOWORD(value));
        wModifiers = HIBYTE(LOWORD(value));
    }
};
