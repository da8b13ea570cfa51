// An image list, owned: destroyed once, with its wrapper.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "unique_handle.h"

class CImageList {
public:
    BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
        m_imageList.reset(::ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
        return m_imageList ? TRUE : FALSE;
    }
    // Appends a copy of the icon; its index, or -1 when it could not be added.
    int Add(HICON hIcon) { return ::ImageList_ReplaceIcon(m_imageList.get(), -1, hIcon); }
    // Copies one image over another of the same list.
    BOOL Copy(int nDst, int nSrc) {
        return ::ImageList_Copy(m_imageList.get(), nDst, m_imageList.get(), nSrc, ILCF_MOVE);
    }
    // Keeps the first `nCount` images, dropping the rest.
    BOOL SetImageCount(UINT nCount) { return ::ImageList_SetImageCount(m_imageList.get(), nCount); }
    int GetImageCount() const { return ::ImageList_GetImageCount(m_imageList.get()); }
    HIMAGELIST GetSafeHandle() const { return m_imageList.get(); }

private:
    handles::unique_himagelist m_imageList;
};
