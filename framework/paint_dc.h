// The device context of one WM_PAINT: begun on construction, ended on destruction.
#pragma once

#include "wnd.h"

class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd), m_hDC(::BeginPaint(m_hWnd, &m_ps)) {}
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

    HDC GetSafeHdc() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

private:
    PAINTSTRUCT m_ps{};
    HWND m_hWnd;
    HDC m_hDC;
};
