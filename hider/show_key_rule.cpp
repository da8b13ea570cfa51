#include "show_key_rule.h"

namespace hider {

TabVerdict ShowKeyRule::TabDown(bool controlOnly, std::uint64_t nowMs) {
    if (m_tabDown) {
        // A repeat goes where its press went.
        return m_swallowing ? TabVerdict::Swallow : TabVerdict::PassOn;
    }
    m_tabDown = true;
    if (!controlOnly) {
        m_lastPressMs.reset();  // Tab alone, or with other keys, breaks a double press
        return TabVerdict::PassOn;
    }
    // A time before the previous press cannot complete a double press; it
    // starts a new one.
    if (m_lastPressMs && nowMs >= *m_lastPressMs && nowMs - *m_lastPressMs < kDoublePressMs) {
        m_lastPressMs.reset();  // a third press starts afresh
        m_swallowing = true;
        return TabVerdict::ShowMain;
    }
    m_lastPressMs = nowMs;
    return TabVerdict::PassOn;
}

TabVerdict ShowKeyRule::TabUp() {
    m_tabDown = false;
    // The release of a swallowed press is swallowed too: the focused program
    // saw no press.
    const bool swallowed = m_swallowing;
    m_swallowing = false;
    return swallowed ? TabVerdict::Swallow : TabVerdict::PassOn;
}

}  // namespace hider
