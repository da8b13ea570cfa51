// The main window's keys: the show-key, Control+Tab pressed twice quickly,
// and the user's hide-key. The keyboard is watched after the fact (raw
// input), so the program with the keyboard gets every key as without
// Veilkeeper, save the second press of a double Control+Tab, which a hotkey
// armed between the first press's release and half a second after it keeps.
// The main window only hears what the keys mean: show yourself, or a press of
// the hide-key.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>

#include "hide_key_presses.h"
#include "show_key_rule.h"
#include "window_services.h"

namespace hider {

enum class KeyMeaning {
    Nothing,
    ShowMainWindow,  // the show-key's double press
    HidePress,       // a new press of the hide-key (not a held key's repeat)
};

class Hotkeys {
public:
    // A modifier the watch has not seen go down for this long, and that the
    // system takes as up, had its release missed.
    static constexpr std::uint64_t kMissedReleaseAfterMs = 1000;

    // The timer, on the window, that ends the show-key's armed moment.
    static constexpr UINT_PTR kArmTimerId = 0x564D;
    // The timer, on the window, after which a hide-key message that found no
    // key-down of the watch's is taken for a press the watch could not see.
    static constexpr UINT_PTR kPairingTimerId = 0x564E;

    explicit Hotkeys(platform::WindowServices& services) : m_services(services) {}

    // Watches the keyboard for `window`, which gets WM_INPUT, WM_HOTKEY and
    // the arming timer from now on.
    void Start(HWND window);
    // Ends the watch, unregisters both hotkeys and ends the timer.
    void Stop();

    // Registers a key as the hide-key, in the hotkey control's modifier form.
    // Refused: no key, Control+Tab (the show-key's), or a key the system will
    // not give (another program holds it).
    bool SetHideKey(WORD virtualKey, WORD modifiers);
    void ReleaseHideKey();

    // WM_INPUT, WM_HOTKEY and WM_TIMER of the window, as they come.
    KeyMeaning OnKeyInput(LPARAM rawInput);
    KeyMeaning OnHotKey(int id);
    // None when the timer is not one of these.
    std::optional<KeyMeaning> OnTimer(UINT_PTR id);

private:
    // Arms or disarms the show-key's hotkey as the rule's step says; what
    // the step means for the main window.
    KeyMeaning Follow(const ShowKeyStep& step);
    // Modifiers the rule takes as held whose release the watch missed (a
    // secure desktop, an elevated program in front) are let go.
    void ForgetMissedReleases(std::uint64_t nowMs);
    void WaitForKeyDownIfNeeded();
    // How far apart a held key's key-downs may lie, from the keyboard's
    // settings; asked only while the key is down, not at every press.
    std::uint64_t RepeatGapMs();

    platform::WindowServices& m_services;
    HWND m_hWnd = nullptr;
    bool m_bWatching = false;
    ShowKeyRule m_showKey;
    HideKeyPresses m_hideKeyPresses;
    UINT m_hideKeyVk = 0;  // the registered hide-key; 0 while none is
    std::uint64_t m_armedUntilMs = 0;  // when the show-key's armed moment ends
    // When the watch last saw each key go down.
    std::array<std::uint64_t, kWatchedKeyCount> m_lastDownMs{};
};

}  // namespace hider
