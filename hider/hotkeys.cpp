#include "hotkeys.h"

#include <optional>

#include "hotkey_ids.h"
#include "hotkey_modifiers.h"

namespace hider {

namespace {

std::optional<WatchedKey> Watched(UINT virtualKey) {
    switch (virtualKey) {
    case VK_TAB:
        return WatchedKey::Tab;
    case VK_CONTROL:
    case VK_LCONTROL:
        return WatchedKey::LeftControl;
    case VK_RCONTROL:
        return WatchedKey::RightControl;
    case VK_SHIFT:
    case VK_LSHIFT:
        return WatchedKey::LeftShift;
    case VK_RSHIFT:
        return WatchedKey::RightShift;
    case VK_MENU:
    case VK_LMENU:
        return WatchedKey::LeftAlt;
    case VK_RMENU:
        return WatchedKey::RightAlt;
    case VK_LWIN:
        return WatchedKey::LeftWin;
    case VK_RWIN:
        return WatchedKey::RightWin;
    default:
        return std::nullopt;
    }
}

constexpr struct {
    WatchedKey key;
    UINT virtualKey;
} kModifiers[] = {
    {WatchedKey::LeftControl, VK_LCONTROL}, {WatchedKey::RightControl, VK_RCONTROL},
    {WatchedKey::LeftShift, VK_LSHIFT},     {WatchedKey::RightShift, VK_RSHIFT},
    {WatchedKey::LeftAlt, VK_LMENU},        {WatchedKey::RightAlt, VK_RMENU},
    {WatchedKey::LeftWin, VK_LWIN},         {WatchedKey::RightWin, VK_RWIN},
};

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
    m_hideKeyPresses.Released();
    return true;
}

void Hotkeys::ReleaseHideKey() {
    m_services.UnregisterHotKey(m_hWnd, HOTKEY_HIDE_UNDER_CURSOR);
    m_hideKeyVk = 0;
}

KeyMeaning Hotkeys::OnKeyInput(LPARAM rawInput) {
    const std::optional<platform::KeyEvent> event = m_services.ReadKeyEvent(rawInput);
    if (!event) {
        return KeyMeaning::Nothing;
    }
    if (m_hideKeyVk != 0 && event->virtualKey == m_hideKeyVk) {
        if (event->down) {
            m_hideKeyPresses.WentDown();
        } else {
            m_hideKeyPresses.Released();
        }
    }
    const std::optional<WatchedKey> key = Watched(event->virtualKey);
    if (!key) {
        return KeyMeaning::Nothing;
    }
    const std::uint64_t nowMs = m_services.MessageTimeMs();
    if (!event->down) {
        return Follow(m_showKey.KeyUp(*key, nowMs));
    }
    if (*key == WatchedKey::Tab) {
        ForgetMissedReleases();
    }
    return Follow(m_showKey.KeyDown(*key, nowMs));
}

void Hotkeys::ForgetMissedReleases() {
    // Up for the system, and no input waiting that could still say so.
    for (const auto& modifier : kModifiers) {
        if (m_showKey.Held(modifier.key) && !m_services.KeyIsDown(modifier.virtualKey) &&
            !m_services.KeyInputQueued()) {
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
    // A held key hides one window: until the watch has seen the key go up,
    // a key-down is a repeat.
    const bool pressed = m_hideKeyPresses.Pressed(m_bWatching, [this] { return m_services.KeyInputQueued(); });
    return pressed ? KeyMeaning::HidePress : KeyMeaning::Nothing;
}

bool Hotkeys::OnTimer(UINT_PTR id) {
    if (id != kArmTimerId) {
        return false;
    }
    Follow(m_showKey.TimeUp());
    return true;
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
            return Follow(m_showKey.TimeUp());
        }
        // Another program may hold Control+Tab: then the second press is
        // still seen by the watch, only not kept from that program.
        m_services.RegisterHotKey(m_hWnd, HOTKEY_SHOW_SELF, MOD_CONTROL | MOD_NOREPEAT, VK_TAB);
        ::SetTimer(m_hWnd, kArmTimerId, static_cast<UINT>(*step.armUntilMs - now), nullptr);
    }
    return step.showMain ? KeyMeaning::ShowMainWindow : KeyMeaning::Nothing;
}

}  // namespace hider
