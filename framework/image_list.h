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
    // Removes one image; the ones after it move up one place.
    BOOL Remove(int nImage) { return ::ImageList_Remove(m_imageList.get(), nImage); }
    int GetImageCount() const { return ::ImageList_GetImageCount(m_imageList.get()); }
    HIMAGELIST GetSafeHandle() const { return m_imageList.get(); }

private:
    fw::unique_himagelist m_imageList;
};
