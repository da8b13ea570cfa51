// The finder drag: press on the finder icon, drag, release over the window to
// hide. Two states, idle and dragging; each event says what the main window
// must do.
#pragma once

namespace hider {

// What an event asks of the main window, in the order it is to be done. The
// capture comes before the main window steps aside, so that a release right
// after the window went is already caught.
struct DragEffects {
    bool captureMouse = false;
    bool hideMainWindow = false;
    bool showFinderCursor = false;
    bool releaseMouse = false;
    bool hideWindowAtPointer = false;
    bool showMainWindow = false;   // last
};

class FinderDrag {
public:
    bool Dragging() const { return m_dragging; }

    // A left press; `onFinder` when it lies on the finder icon. The option is
    // read now: it holds for the whole drag.
    DragEffects LeftPress(bool onFinder, bool invisibleOnDrop);
    // The left button's release: ends a drag with a hide of whatever window
    // is under the pointer (the main window decides what that is).
    DragEffects LeftRelease();
    // A right press cancels a drag: nothing is hidden.
    DragEffects RightPress();
    // The capture went elsewhere (a system dialog, the secure desktop, a
    // window of ours that opens): the drag is cancelled like a right press,
    // or a later ordinary click would end it with a hide.
    DragEffects CaptureLost();

private:
    DragEffects End(bool hide);

    bool m_dragging = false;
    bool m_hiddenForDrag = false;
};

}  // namespace hider
