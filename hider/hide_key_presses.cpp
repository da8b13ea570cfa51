#include "hide_key_presses.h"

namespace hider {

int HideKeyPresses::Pair() {
    int presses = 0;
    while (!m_downs.empty() && !m_messages.empty()) {
        presses += m_downs.front().newPress ? 1 : 0;
        m_downs.pop_front();
        m_messages.pop_front();
    }
    return presses;
}

void HideKeyPresses::ForgetDownsBefore(std::uint64_t ms) {
    // Windows sends no message for a held key's repeats: they are never
    // taken, and must not be taken by a later press's message.
    while (!m_downs.empty() && m_downs.front().atMs < ms) {
        m_downs.pop_front();
    }
}

int HideKeyPresses::WentDown(std::uint64_t atMs) {
    const bool newPress = !m_down;
    m_down = true;
    if (newPress) {
        m_downs.clear();  // whatever was left belongs to an earlier press
    }
    m_downs.push_back({newPress, atMs});
    return Pair();
}

int HideKeyPresses::Message(bool watched, std::uint64_t atMs) {
    if (!watched) {
        return 1;
    }
    ForgetDownsBefore(atMs > kPairingWindowMs ? atMs - kPairingWindowMs : 0);
    m_messages.push_back(atMs);
    return Pair();
}

int HideKeyPresses::TimeUp(std::uint64_t nowMs) {
    int presses = 0;
    while (!m_messages.empty() && nowMs >= m_messages.front() + kPairingWindowMs) {
        ++presses;
        m_messages.pop_front();
    }
    return presses;
}

}  // namespace hider
