#include "finder_drag.h"

namespace hider {

DragEffects FinderDrag::LeftPress(bool onFinder, bool invisibleOnDrop) {
    DragEffects effects;
    if (!onFinder || m_dragging) {
        return effects;
    }
    m_dragging = true;
    m_hiddenForDrag = invisibleOnDrop;
    effects.hideMainWindow = invisibleOnDrop;
    effects.captureMouse = true;
    effects.showFinderCursor = true;
    return effects;
}

DragEffects FinderDrag::LeftRelease() {
    return End(true);
}

DragEffects FinderDrag::RightPress() {
    return End(false);
}

DragEffects FinderDrag::CaptureLost() {
    return End(false);
}

DragEffects FinderDrag::End(bool hide) {
    DragEffects effects;
    if (!m_dragging) {
        return effects;
    }
    effects.releaseMouse = true;
    effects.hideWindowAtPointer = hide;
    effects.showMainWindow = m_hiddenForDrag;
    m_dragging = false;
    m_hiddenForDrag = false;
    return effects;
}

}  // namespace hider
