// Which owned windows are pop-ups of the moment: tooltips, menus, drop-down
// lists and other windows not meant to be activated. Hidden with their owner,
// they are never brought back: their program shows them when it needs them,
// and one shown again later would stand on screen after its program had put
// it away.
#pragma once

#include <cstdint>
#include <string_view>

namespace hider {

// From the window's class and its styles (GWL_STYLE, GWL_EXSTYLE):
// - a class the system or the common controls use for such pop-ups: a
//   tooltip ("tooltips_class32"), a menu ("#32768"), a combo box's list
//   ("ComboLBox"); class names compare without regard to case;
// - a window that never takes the activation (WS_EX_NOACTIVATE);
// - a tool window without a caption that is a pop-up (WS_EX_TOOLWINDOW,
//   WS_POPUP, no WS_CAPTION): the shape of drop-downs, balloons and
//   auto-complete lists. A tool window with a caption (a palette) is kept.
bool IsTransientPopup(std::u16string_view className, std::uint32_t style, std::uint32_t exStyle);

}  // namespace hider
