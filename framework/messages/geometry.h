// Points and rectangles with the few conveniences the dialogs use.
#pragma once

#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() noexcept : POINT{0, 0} {}
    CPoint(int x0, int y0) noexcept : POINT{x0, y0} {}
    explicit CPoint(POINT p) noexcept : POINT(p) {}
};

class CRect : public RECT {
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
    explicit CRect(const RECT& r) noexcept : RECT(r) {}

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    // Left and top edges inside, right and bottom edges outside.
    bool PtInRect(POINT p) const noexcept { return ::PtInRect(this, p) != FALSE; }
};
