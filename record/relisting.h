// Which windows of the record get their rows back at start: a start after an
// end without Exit (killed, crashed) finds the record of the windows that were
// still listed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "record_entry.h"

namespace hider {

// What the system says about a handle now.
struct WindowNow {
    WindowIdentity identity;
    bool visible = false;
};

struct Relisting {
    // Oldest first: each goes on top of the one before. Their owned windows
    // are those still there under the same handle and still hidden (one its
    // program showed meanwhile is its program's).
    std::vector<RecordEntry> rows;
    std::vector<std::uint32_t> dropped;  // orders of the entries to remove from the record
    // The owned windows of dropped entries still there and hidden, which no
    // row holds: they were hidden with their owner and come back now, as
    // their program expects them with it.
    std::vector<WindowIdentity> giveBack;
};

// An entry is listed again when its handle still names the same window and
// that window is still hidden: the user hid it for a reason. Anything else
// (gone, shown meanwhile, the handle now another window's) is dropped, and so
// is an older entry of a window a newer one names: a window has one row. A
// window owned by a row is left out of it when it has a row of its own or a
// newer row owns it: every window is in one row.
// `lookup` answers for a handle; none when no window has it.
Relisting DecideRelisting(std::vector<RecordEntry> recorded,
                          const std::function<std::optional<WindowNow>(std::uint64_t handle)>& lookup);

}  // namespace hider
