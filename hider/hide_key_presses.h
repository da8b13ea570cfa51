// Tells a new press of the hide-key from the repeats of a held one, so a held
// key hides one window. Windows leaves repeats out of a hotkey registered
// without them; Wine does not, so the rule holds on both.
#pragma once

#include <cstdint>

namespace hider {

// The keyboard's auto-repeat starts at most a second after the press and then
// comes faster: a longer gap since the key's last message means a release was
// missed (a hook called too late, the secure desktop), never a held key.
inline constexpr std::uint64_t kLongestRepeatGapMs = 1100;

class HideKeyPresses {
public:
    // A message of the hide-key at `nowMs` (a monotonic clock); whether it is
    // a new press. `releaseWillBeReported`: whether its release will be seen;
    // without that, every message is a press.
    bool Pressed(std::uint64_t nowMs, bool releaseWillBeReported);
    // The key went up: the next message is a new press.
    void Released() { m_held = false; }

private:
    bool m_held = false;
    std::uint64_t m_lastMs = 0;
};

}  // namespace hider
