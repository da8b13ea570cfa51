#include "show_key_rule.h"

namespace hider {

namespace {

unsigned Bit(WatchedKey key) {
    return 1u << static_cast<unsigned>(key);
}

}  // namespace

bool ShowKeyRule::Held(WatchedKey key) const {
    return (m_held & Bit(key)) != 0;
}

bool ShowKeyRule::ControlOnly() const {
    const unsigned control = Bit(WatchedKey::LeftControl) | Bit(WatchedKey::RightControl);
    const unsigned modifiers = m_held & ~Bit(WatchedKey::Tab);
    return (modifiers & control) != 0 && (modifiers & ~control) == 0;
}

ShowKeyStep ShowKeyRule::Show() {
    ShowKeyStep step;
    step.disarm = m_armed;
    step.showMain = true;
    m_armed = false;
    m_firstPressMs.reset();  // a third press starts afresh
    m_showingPress = true;
    return step;
}

ShowKeyStep ShowKeyRule::Forget() {
    ShowKeyStep step;
    step.disarm = m_armed;
    m_armed = false;
    m_firstPressMs.reset();
    return step;
}

ShowKeyStep ShowKeyRule::KeyDown(WatchedKey key, std::uint64_t nowMs) {
    const bool repeat = Held(key);
    m_held |= Bit(key);
    if (key != WatchedKey::Tab || repeat || m_showingPress) {
        return {};
    }
    if (!ControlOnly()) {
        return Forget();  // Tab alone, or with other modifiers too, breaks a double press
    }
    // A time before the first press cannot complete a double press; it
    // starts a new one.
    if (m_firstPressMs && m_firstReleased && nowMs >= *m_firstPressMs && nowMs - *m_firstPressMs < kDoublePressMs) {
        return Show();  // seen by the watch; the armed hotkey, if it could be had, kept it from the program
    }
    ShowKeyStep step = Forget();
    m_firstPressMs = nowMs;
    m_firstReleased = false;
    return step;
}

ShowKeyStep ShowKeyRule::KeyUp(WatchedKey key, std::uint64_t nowMs) {
    m_held &= ~Bit(key);
    if (key != WatchedKey::Tab) {
        return {};
    }
    if (m_showingPress) {
        m_showingPress = false;
        return {};
    }
    if (!m_firstPressMs || m_firstReleased) {
        return {};
    }
    // Arming waits for the release: a held key never makes a double press.
    m_firstReleased = true;
    const std::uint64_t until = *m_firstPressMs + kDoublePressMs;
    if (nowMs < *m_firstPressMs || nowMs >= until) {
        return Forget();
    }
    m_armed = true;
    ShowKeyStep step;
    step.armUntilMs = until;
    return step;
}

ShowKeyStep ShowKeyRule::ArmedKeyPressed(std::uint64_t nowMs) {
    if (!m_armed) {
        return {};  // the press the watch has already taken for the second, or a stray message
    }
    if (nowMs < *m_firstPressMs || nowMs - *m_firstPressMs >= kDoublePressMs) {
        return Forget();  // the time was up; the hotkey was not yet taken back
    }
    return Show();
}

ShowKeyStep ShowKeyRule::TimeUp() {
    return m_armed ? Forget() : ShowKeyStep{};
}

}  // namespace hider
