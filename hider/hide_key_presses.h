// Tells a new press of the hide-key from the repeats of a held one, so a held
// key hides one window. Windows leaves repeats out of a hotkey registered
// without them; Wine does not, so the rule holds on both. The keyboard watch
// reports the key going down and up; a release it never sees costs one press
// at most, and never silences the key.
#pragma once

namespace hider {

class HideKeyPresses {
public:
    // A hotkey message of the hide-key; whether it is a new press.
    // `watched`: the watch reports the key (without it every message is a
    // press). `inputQueued()`: whether key input the watch has not yet seen
    // is waiting; asked only when the answer depends on it.
    template <typename InputQueued>
    bool Pressed(bool watched, InputQueued&& inputQueued) {
        if (!watched) {
            return true;
        }
        // A repeat is the key still held: the watch saw it go down again
        // since the last message, or has that still to read. A message with
        // neither comes after a release the watch missed: a new press.
        const bool repeat = m_held && (m_sawDown || inputQueued());
        m_sawDown = false;
        if (repeat) {
            return false;
        }
        m_held = true;
        return true;
    }
    // The watch saw the key go down: a press, or a held key's repeat.
    void WentDown() { m_sawDown = true; }
    // The watch saw the key go up: the next message is a new press.
    void Released() { m_held = false; }

private:
    bool m_held = false;
    bool m_sawDown = false;  // since the last message
};

}  // namespace hider
