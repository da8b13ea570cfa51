// Control+Tab pressed twice in quick succession brings the main window back.
// A single press belongs to the program that has the keyboard and is passed
// on; only the second press of a double press is kept from it.
#pragma once

#include <cstdint>
#include <optional>

namespace hider {

inline constexpr std::uint64_t kDoublePressMs = 500;

// What to do with one event of the Tab key.
enum class TabVerdict {
    PassOn,    // the focused program gets it, as without Veilkeeper
    Swallow,   // it belongs to a double press: nobody else gets it
    ShowMain,  // it completes a double press: swallow it and show the main window
};

// Follows the Tab key's events. Times are milliseconds on a monotonic clock
// (one that the time of day, the date or a clock set back never changes).
class ShowKeyRule {
public:
    // A key-down of Tab; `controlOnly` when Control is held and no other
    // modifier. A key-down while Tab is already down is the keyboard's
    // auto-repeat, never a new press.
    TabVerdict TabDown(bool controlOnly, std::uint64_t nowMs);
    // Tab released.
    TabVerdict TabUp();

private:
    bool m_tabDown = false;
    bool m_swallowing = false;  // the press now held completed a double press
    std::optional<std::uint64_t> m_lastPressMs;
};

}  // namespace hider
