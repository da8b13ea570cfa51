#include "raw_keyboard.h"

namespace platform {

namespace {

constexpr USHORT kGenericDesktop = 0x01;
constexpr USHORT kKeyboard = 0x06;
constexpr USHORT kRightShiftScanCode = 0x36;

bool Register(DWORD flags, HWND window) {
    RAWINPUTDEVICE device{kGenericDesktop, kKeyboard, flags, window};
    return ::RegisterRawInputDevices(&device, 1, sizeof device) != FALSE;
}

}  // namespace

bool WatchRawKeyboard(HWND window) {
    // RIDEV_INPUTSINK: also while another program has the keyboard. Never
    // RIDEV_NOLEGACY: our own windows still get their keys.
    return Register(RIDEV_INPUTSINK, window);
}

void StopWatchingRawKeyboard() {
    Register(RIDEV_REMOVE, nullptr);
}

std::optional<KeyEvent> KeyEventOf(LPARAM rawInput) {
    RAWINPUT input{};
    UINT size = sizeof input;
    if (::GetRawInputData(reinterpret_cast<HRAWINPUT>(rawInput), RID_INPUT, &input, &size,
                          sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1) ||
        input.header.dwType != RIM_TYPEKEYBOARD) {
        return std::nullopt;
    }
    const RAWKEYBOARD& key = input.data.keyboard;
    if (key.VKey == 0 || key.VKey >= 0xFF) {
        return std::nullopt;  // 0xFF: part of an escaped sequence, no key of its own
    }
    const bool extended = (key.Flags & RI_KEY_E0) != 0;
    UINT virtualKey = key.VKey;
    switch (virtualKey) {
    case VK_CONTROL:
        virtualKey = extended ? VK_RCONTROL : VK_LCONTROL;
        break;
    case VK_MENU:
        virtualKey = extended ? VK_RMENU : VK_LMENU;
        break;
    case VK_SHIFT:
        virtualKey = key.MakeCode == kRightShiftScanCode ? VK_RSHIFT : VK_LSHIFT;
        break;
    default:
        break;
    }
    return KeyEvent{virtualKey, (key.Flags & RI_KEY_BREAK) == 0};
}

KeyRepeat KeyboardRepeat() {
    KeyRepeat repeat;
    UINT value = 0;
    if (::SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &value, 0)) {
        repeat.delay = value;
    }
    DWORD speed = 0;
    if (::SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0)) {
        repeat.speed = speed;
    }
    return repeat;
}

bool KeyInputQueued() {
    return (HIWORD(::GetQueueStatus(QS_RAWINPUT)) & QS_RAWINPUT) != 0;
}

}  // namespace platform
