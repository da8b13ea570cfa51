#include "hotkeys.h"

#include <optional>

#include "hotkey_ids.h"
#include "hotkey_modifiers.h"

namespace hider {

namespace {

// The modifiers the show-key's rule follows, each as the key the watch names:
// Control, Shift and Alt come with their side (KeyEvent).
constexpr struct {
    WatchedKey key;
    UINT virtualKey;
} kModifiers[] = {
    {WatchedKey::LeftControl, VK_LCONTROL}, {WatchedKey::RightControl, VK_RCONTROL},
    {WatchedKey::LeftShift, VK_LSHIFT},     {WatchedKey::RightShift, VK_RSHIFT},
    {WatchedKey::LeftAlt, VK_LMENU},        {WatchedKey::RightAlt, VK_RMENU},
    {WatchedKey::LeftWin, VK_LWIN},         {WatchedKey::RightWin, VK_RWIN},
};

std::optional<WatchedKey> Watched(UINT virtualKey) {
    if (virtualKey == VK_TAB) {
        return WatchedKey::Tab;
    }
    for (const auto& modifier : kModifiers) {
        if (modifier.virtualKey == virtualKey) {
            return modifier.key;
        }
    }
    return std::nullopt;
}

}  // namespace

void Hotkeys::Start(HWND window) {
    m_hWnd = window;
    m_bWatching = m_services.WatchKeyboard(window);
}

void Hotkeys::Stop() {
    if (m_bWatching) {
        m_services.StopWatchingKeyboard();
        m_bWatching = false;
    }
    Follow(m_showKey.TimeUp());
    ReleaseHideKey();
}

bool Hotkeys::SetHideKey(WORD virtualKey, WORD modifiers) {
    const unsigned registration = RegistrationModifiers(modifiers);
    if (virtualKey == 0 || (virtualKey == VK_TAB && registration == registration_form::kControl)) {
        return false;
    }
    // A held key repeats: Windows leaves the repeats out, Wine 8 does not
    // (HideKeyPresses keeps them out there).
    if (!m_services.RegisterHotKey(m_hWnd, HOTKEY_HIDE_UNDER_CURSOR, registration | MOD_NOREPEAT, virtualKey)) {
        return false;
    }
    m_hideKeyVk = virtualKey;
    m_hideKeyPresses = {};
    ::KillTimer(m_hWnd, kPairingTimerId);
    return true;
}

void Hotkeys::ReleaseHideKey() {
    m_services.UnregisterHotKey(m_hWnd, HOTKEY_HIDE_UNDER_CURSOR);
    m_hideKeyVk = 0;
}

std::uint64_t Hotkeys::RepeatGapMs() {
    const platform::KeyRepeat repeat = m_services.KeyRepeatSettings();
    return LongestRepeatGapMs(repeat.delay, repeat.speed);
}

KeyMeaning Hotkeys::OnKeyInput(LPARAM rawInput) {
    const std::optional<platform::KeyEvent> event = m_services.ReadKeyEvent(rawInput);
    if (!event) {
        return KeyMeaning::Nothing;
    }
    const std::uint64_t nowMs = m_services.MessageTimeMs();
    if (m_hideKeyVk != 0 && event->virtualKey == m_hideKeyVk) {
        if (!event->down) {
            m_hideKeyPresses.WentUp();
        } else if (m_hideKeyPresses.WentDown(nowMs, m_hideKeyPresses.IsDown() ? RepeatGapMs() : 0) > 0) {
            return KeyMeaning::HidePress;  // a message was waiting for it
        }
    }
    const std::optional<WatchedKey> key = Watched(event->virtualKey);
    if (!key) {
        return KeyMeaning::Nothing;
    }
    if (!event->down) {
        return Follow(m_showKey.KeyUp(*key, nowMs));
    }
    if (*key == WatchedKey::Tab) {
        ForgetMissedReleases(nowMs);
    }
    m_lastDownMs[static_cast<size_t>(*key)] = nowMs;
    return Follow(m_showKey.KeyDown(*key, nowMs));
}

void Hotkeys::ForgetMissedReleases(std::uint64_t nowMs) {
    // Not seen going down lately (a held key repeats), up for the system, and
    // no input waiting that could still say so. Only a key the watch saw go
    // down a while ago is asked about: under Wine the key's state may run
    // ahead of the watch's input (seen), which must not let go of a key just
    // pressed.
    for (const auto& modifier : kModifiers) {
        const std::uint64_t downMs = m_lastDownMs[static_cast<size_t>(modifier.key)];
        if (m_showKey.Held(modifier.key) && nowMs >= downMs && nowMs - downMs >= kMissedReleaseAfterMs &&
            !m_services.KeyIsDown(modifier.virtualKey) && !m_services.KeyInputQueued()) {
            m_showKey.KeyUp(modifier.key, 0);
        }
    }
}

KeyMeaning Hotkeys::OnHotKey(int id) {
    if (id == HOTKEY_SHOW_SELF) {
        return Follow(m_showKey.ArmedKeyPressed(m_services.MessageTimeMs()));
    }
    if (id != HOTKEY_HIDE_UNDER_CURSOR || m_hideKeyVk == 0) {
        return KeyMeaning::Nothing;
    }
    // A held key hides one window: the message is paired with the key-down
    // the watch saw, or waits a moment for it.
    const int presses = m_hideKeyPresses.Message(m_bWatching, m_services.MessageTimeMs());
    WaitForKeyDownIfNeeded();
    return presses > 0 ? KeyMeaning::HidePress : KeyMeaning::Nothing;
}

std::optional<KeyMeaning> Hotkeys::OnTimer(UINT_PTR id) {
    if (id == kArmTimerId) {
        // Another program can post the timer's message: before its time it
        // would end the moment early, and the second press would go on to
        // the program with the keyboard. The timer is set again for the rest.
        const std::uint64_t now = m_services.NowMs();
        if (m_showKey.Armed() && now < m_armedUntilMs) {
            ::SetTimer(m_hWnd, kArmTimerId, static_cast<UINT>(m_armedUntilMs - now), nullptr);
            return KeyMeaning::Nothing;
        }
        return Follow(m_showKey.TimeUp());
    }
    if (id == kPairingTimerId) {
        ::KillTimer(m_hWnd, kPairingTimerId);
        const int presses = m_hideKeyPresses.TimeUp(m_services.NowMs());
        WaitForKeyDownIfNeeded();
        return presses > 0 ? KeyMeaning::HidePress : KeyMeaning::Nothing;
    }
    return std::nullopt;
}

void Hotkeys::WaitForKeyDownIfNeeded() {
    if (m_hideKeyPresses.Waiting()) {
        ::SetTimer(m_hWnd, kPairingTimerId, static_cast<UINT>(HideKeyPresses::kPairingWindowMs), nullptr);
    }
}

KeyMeaning Hotkeys::Follow(const ShowKeyStep& step) {
    if (step.disarm) {
        ::KillTimer(m_hWnd, kArmTimerId);
        m_services.UnregisterHotKey(m_hWnd, HOTKEY_SHOW_SELF);
    }
    if (step.armUntilMs) {
        // Until then from now, not from when the release was seen: a press
        // after the moment must not be kept.
        const std::uint64_t now = m_services.NowMs();
        if (*step.armUntilMs <= now) {
            // The watch runs behind (a loaded machine): no press can be kept
            // any more, but a second press the watch has yet to report, made
            // in time, still shows the window, by its own time.
            return step.showMain ? KeyMeaning::ShowMainWindow : KeyMeaning::Nothing;
        }
        // Another program may hold Control+Tab: then the second press is
        // still seen by the watch, only not kept from that program.
        m_services.RegisterHotKey(m_hWnd, HOTKEY_SHOW_SELF, MOD_CONTROL | MOD_NOREPEAT, VK_TAB);
        m_armedUntilMs = *step.armUntilMs;
        ::SetTimer(m_hWnd, kArmTimerId, static_cast<UINT>(*step.armUntilMs - now), nullptr);
    }
    return step.showMain ? KeyMeaning::ShowMainWindow : KeyMeaning::Nothing;
}

}  // namespace hider
