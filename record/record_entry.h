// One entry of the durable record of hidden windows: what names each window
// of a row beyond its handle (handles are reused once a window is gone) and
// the row's place. No title: a window listed again is still there to be asked,
// and the record keeps no more about the user's windows than it must.
// An entry is stored as a name (its order) and a text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hider {

// What a window is, as far as it can be told from outside.
struct WindowIdentity {
    std::uint64_t handle = 0;
    std::uint32_t processId = 0;
    // When the window's process started (100 ns units), 0 when it could not
    // be read: a process id alone is reused.
    std::uint64_t processStart = 0;
    std::uint32_t threadId = 0;
    std::u16string className;

    bool operator==(const WindowIdentity&) const = default;
};

// The most owned windows a row takes with its own: far beyond any real
// program's pop-ups, and it keeps an entry's size bounded.
inline constexpr std::size_t kMaxOwnedWindows = 64;

struct RecordEntry {
    std::uint32_t order = 0;  // larger is newer
    WindowIdentity window;
    // The windows it owned that were hidden with it, the top of their
    // stacking order first.
    std::vector<WindowIdentity> owned;
    // Which of them was active when it was hidden, to be so again: 0 the
    // row's own window, n the n-th owned window.
    std::uint32_t active = 0;

    bool operator==(const RecordEntry&) const = default;
};

// A console window's class: the system reports the first process attached to
// the console as the window's process, and another once that one ends.
inline constexpr std::u16string_view kConsoleClass = u"ConsoleWindowClass";

// Whether a handle still names the window recorded under it: the same
// handle, process (id and, where both were read, start), thread and class.
// A console window is the same while its handle and class are: its reported
// process and thread change with the processes attached to it.
bool IsSameWindow(const WindowIdentity& recorded, const WindowIdentity& now);

// The entry's name: its order in eight upper-case hex digits, so names sort as
// orders.
std::u16string EntryName(std::uint32_t order);
// The order a name stands for, whatever the case of its digits: the registry
// compares names without case, so "0000000a" is the name EntryName(10) makes.
// None for a name that is no order's.
std::optional<std::uint32_t> OrderOfName(std::u16string_view name);
// The entry's text; the order is its name.
std::u16string EncodeEntry(const RecordEntry& entry);
// The entry stored under `name` as `text`; none when either is not what
// EncodeEntry and EntryName make, hex digits read in either case (another
// program's value, or another format's).
std::optional<RecordEntry> DecodeEntry(std::u16string_view name, std::u16string_view text);

}  // namespace hider
