// Tells a new press of the hide-key from the repeats of a held one, so a held
// key hides one window. Windows leaves repeats out of a hotkey registered
// without them; Wine does not, and there a hotkey message comes before or
// after the watch hears of its key, as the program with the keyboard reads it.
// So each message is paired, in order, with a key-down the watch saw: with a
// new press it is a press, with a held key's repeat it is none. A message that
// finds no key-down waits for one a moment; none coming, the watch could not
// see the key (an elevated program in front), and the message is a press.
//
// A key-down while the key is down is a repeat only as long as a held key
// repeats: once the keyboard has been quiet for longer, its release was missed
// (the key went up in an elevated program that came to the front, or on the
// secure desktop, whose input the watch never sees), and the down is
// a new press. A missed release never costs the next press.
#pragma once

#include <cstdint>
#include <deque>

namespace hider {

// The longest a held key leaves between two of its key-downs, from the
// keyboard's settings: the delay before the first repeat (0 to 3, about 250
// to 1000 ms) or the time between repeats (speed 0 to 31, about 2.5 to 30 a
// second), whichever is longer, and half as much again: the settings are
// approximate. Values out of range count as the nearest in range.
std::uint64_t LongestRepeatGapMs(unsigned delay, unsigned speed);

class HideKeyPresses {
public:
    // How long a message and its key-down may lie apart.
    static constexpr std::uint64_t kPairingWindowMs = 250;

    // The watch saw the key go down (a new press when it was up, or when its
    // last key-down lies more than `repeatGapMs` back: LongestRepeatGapMs)
    // or up. Times are milliseconds on a monotonic clock. Each call returns
    // how many new presses it makes known.
    int WentDown(std::uint64_t atMs, std::uint64_t repeatGapMs);
    void WentUp() { m_down = false; }
    // Whether the key is down as far as the watch knows: only then can a
    // key-down be a repeat, and only then does the repeat gap matter.
    bool IsDown() const { return m_down; }
    // A hotkey message of the hide-key. `watched`: the watch reports the key
    // (without it every message is a press).
    int Message(bool watched, std::uint64_t atMs);
    // The messages that waited kPairingWindowMs for a key-down in vain.
    int TimeUp(std::uint64_t nowMs);
    // Whether a message waits for its key-down (then call TimeUp later).
    bool Waiting() const { return !m_messages.empty(); }

private:
    struct Down {
        bool newPress;
        std::uint64_t atMs;
    };
    int Pair();
    void ForgetDownsBefore(std::uint64_t ms);

    bool m_down = false;
    std::uint64_t m_lastDownMs = 0;
    std::deque<Down> m_downs;             // key-downs no message has taken yet, oldest first
    std::deque<std::uint64_t> m_messages;  // messages no key-down has come for yet
};

}  // namespace hider
