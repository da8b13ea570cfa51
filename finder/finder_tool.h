// The finder icon at work: the drag's mouse capture and cursor, and what the
// main window is left to do after each mouse event (step aside, hide the
// window under the pointer, come back).
#pragma once

#include <windows.h>

#include "finder_drag.h"
#include "window_services.h"

namespace hider {

// What the main window does after a drag event, in order: the mouse is
// already seen to.
struct FinderSteps {
    bool hideMainWindow = false;
    bool hideWindowAtPointer = false;
    bool showMainWindow = false;  // last
};

class FinderTool {
public:
    // `cursor`: the shared resource cursor shown while dragging.
    FinderTool(platform::WindowServices& services, HCURSOR cursor) : m_services(services), m_hCursor(cursor) {}

    // The window that takes the mouse while dragging.
    void Attach(HWND window) { m_hWnd = window; }
    bool Dragging() const { return m_drag.Dragging(); }

    // The mouse's events, as FinderDrag takes them.
    FinderSteps LeftPress(bool onFinder, bool invisibleOnDrop) { return Apply(m_drag.LeftPress(onFinder, invisibleOnDrop)); }
    FinderSteps LeftRelease() { return Apply(m_drag.LeftRelease()); }
    FinderSteps RightPress() { return Apply(m_drag.RightPress()); }
    // The capture went elsewhere, or something that may take a while comes
    // (a dialog, a menu): the drag ends without a hide, and the drag's mouse
    // hook never waits on it.
    FinderSteps Cancel() { return Apply(m_drag.CaptureLost()); }

    // WM_SETCURSOR: while dragging the finder cursor stays (the default
    // processing would put the window's own back); whether it did.
    bool KeepCursor();
    // The window is going: no mouse capture outlives it.
    void WindowGone();

private:
    FinderSteps Apply(const DragEffects& effects);

    platform::WindowServices& m_services;
    HCURSOR m_hCursor;
    HWND m_hWnd = nullptr;
    FinderDrag m_drag;  // idle or dragging
};

}  // namespace hider
