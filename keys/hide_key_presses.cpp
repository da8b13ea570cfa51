#include "hide_key_presses.h"

#include <algorithm>

namespace hider {

std::uint64_t LongestRepeatGapMs(unsigned delay, unsigned speed) {
    const std::uint64_t delayMs = (std::min(delay, 3u) + 1) * 250;
    // Tenths of repeats a second: 25 at speed 0, 300 at speed 31.
    const std::uint64_t tenthsPerSecond = 25 + std::min(speed, 31u) * 275 / 31;
    const std::uint64_t betweenRepeatsMs = 10'000 / tenthsPerSecond;
    return std::max(delayMs, betweenRepeatsMs) * 3 / 2;
}

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

int HideKeyPresses::WentDown(std::uint64_t atMs, std::uint64_t repeatGapMs) {
    const bool newPress = !m_down || (atMs > m_lastDownMs && atMs - m_lastDownMs > repeatGapMs);
    m_down = true;
    m_lastDownMs = atMs;
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
