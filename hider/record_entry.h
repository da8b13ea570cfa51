// One entry of the durable record of hidden windows: what names the window
// beyond its handle (handles are reused once a window is gone), and its row's
// title and place. An entry is stored as a name (its order) and a text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

struct RecordEntry {
    std::uint32_t order = 0;  // larger is newer
    WindowIdentity window;
    std::u16string title;
};

// Whether a handle still names the window recorded under it: the same
// handle, process (id and, where both were read, start), thread and class.
bool IsSameWindow(const WindowIdentity& recorded, const WindowIdentity& now);

// The entry's name: its order in eight hex digits, so names sort as orders.
std::u16string EntryName(std::uint32_t order);
// The entry's text; the order is its name.
std::u16string EncodeEntry(const RecordEntry& entry);
// The entry stored under `name` as `text`; none when either is not what
// EncodeEntry and EntryName make.
std::optional<RecordEntry> DecodeEntry(std::u16string_view name, std::u16string_view text);

}  // namespace hider
