// Control+Tab pressed twice in quick succession brings the main window back.
// The keyboard is watched after the fact (raw input), so every key reaches the
// program with the keyboard as without Veilkeeper; only the second press of a
// double press is kept from it, by a hotkey of Control+Tab armed for the
// moment: from the first press's release until half a second after that press.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace hider {

inline constexpr std::uint64_t kDoublePressMs = 500;

// The keys the rule follows; Control, Shift and Alt each as its left or
// right key, so letting go of one while the other is held is no release.
enum class WatchedKey {
    Tab,
    LeftControl,
    RightControl,
    LeftShift,
    RightShift,
    LeftAlt,
    RightAlt,
    LeftWin,
    RightWin,
};
inline constexpr std::size_t kWatchedKeyCount = 9;

// What the main window does after an event, in order.
struct ShowKeyStep {
    bool disarm = false;  // the armed hotkey goes, and its timer
    std::optional<std::uint64_t> armUntilMs;  // arm the hotkey until then
    bool showMain = false;
    bool operator==(const ShowKeyStep&) const = default;
};

// Follows the keys' events as the watch sees them. Times are milliseconds on
// a monotonic clock (one that the time of day, the date or a clock set back
// never changes).
class ShowKeyRule {
public:
    // A key-down; one while the key is already down is the keyboard's
    // auto-repeat, never a new press.
    ShowKeyStep KeyDown(WatchedKey key, std::uint64_t nowMs);
    ShowKeyStep KeyUp(WatchedKey key, std::uint64_t nowMs);
    // The armed hotkey took a press, at `nowMs`.
    ShowKeyStep ArmedKeyPressed(std::uint64_t nowMs);
    // The time the hotkey was armed for is over.
    ShowKeyStep TimeUp();

    bool Held(WatchedKey key) const;
    bool Armed() const { return m_armed; }

private:
    bool ControlOnly() const;
    ShowKeyStep Show();
    ShowKeyStep Forget();

    unsigned m_held = 0;  // a bit per WatchedKey
    std::optional<std::uint64_t> m_firstPressMs;  // a Control+Tab press that may start a double press
    bool m_firstReleased = false;
    bool m_armed = false;
    // The press that showed the main window is down: it neither starts nor
    // ends a double press.
    bool m_showingPress = false;
};

}  // namespace hider
