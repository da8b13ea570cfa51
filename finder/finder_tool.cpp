#include "finder_tool.h"

namespace hider {

bool FinderTool::KeepCursor() {
    if (!m_drag.Dragging()) {
        return false;
    }
    m_services.SetCursorShape(m_hCursor);
    return true;
}

void FinderTool::WindowGone() {
    if (m_drag.Dragging()) {
        m_services.ReleaseMouse();
    }
}

FinderSteps FinderTool::Apply(const DragEffects& effects) {
    // The capture comes before the main window steps aside: a release right
    // after it went is already caught.
    if (effects.captureMouse) {
        m_services.CaptureMouse(m_hWnd);
    }
    FinderSteps steps;
    steps.hideMainWindow = effects.hideMainWindow;
    if (effects.showFinderCursor) {
        m_services.SetCursorShape(m_hCursor);
    }
    if (effects.releaseMouse) {
        m_services.ReleaseMouse();
    }
    steps.hideWindowAtPointer = effects.hideWindowAtPointer;
    steps.showMainWindow = effects.showMainWindow;
    return steps;
}

}  // namespace hider
