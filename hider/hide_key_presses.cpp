#include "hide_key_presses.h"

namespace hider {

bool HideKeyPresses::Pressed(std::uint64_t nowMs, bool releaseWillBeReported) {
    const bool repeat = m_held && nowMs >= m_lastMs && nowMs - m_lastMs < kLongestRepeatGapMs;
    m_lastMs = nowMs;
    if (repeat) {
        return false;
    }
    m_held = releaseWillBeReported;
    return true;
}

}  // namespace hider
