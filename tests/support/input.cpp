#include "input.h"

#include <vector>

#include "poll.h"

namespace test {

namespace {
INPUT Key(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT Button(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}
}  // namespace

void PressKeys(std::initializer_list<WORD> virtualKeys) {
    std::vector<INPUT> inputs;
    for (WORD key : virtualKeys) {
        inputs.push_back(Key(key, false));
    }
    for (auto key = virtualKeys.end(); key != virtualKeys.begin();) {
        inputs.push_back(Key(*--key, true));
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void KeyDown(WORD virtualKey) {
    INPUT input = Key(virtualKey, false);
    ::SendInput(1, &input, sizeof(INPUT));
}

void KeyUp(WORD virtualKey) {
    INPUT input = Key(virtualKey, true);
    ::SendInput(1, &input, sizeof(INPUT));
}

void MovePointer(POINT screenPoint) {
    ::SetCursorPos(screenPoint.x, screenPoint.y);
    // The move reaches the system's cursor asynchronously: input that follows
    // must find the pointer already there.
    WaitFor([&] {
        POINT now{};
        return ::GetCursorPos(&now) && now.x == screenPoint.x && now.y == screenPoint.y;
    }, std::chrono::seconds(5));
}

void DoubleClick(POINT screenPoint) {
    MovePointer(screenPoint);
    INPUT clicks[] = {Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP), Button(MOUSEEVENTF_LEFTDOWN),
                      Button(MOUSEEVENTF_LEFTUP)};
    ::SendInput(4, clicks, sizeof(INPUT));
}

void RightClick(POINT screenPoint) {
    MovePointer(screenPoint);
    INPUT click[] = {Button(MOUSEEVENTF_RIGHTDOWN), Button(MOUSEEVENTF_RIGHTUP)};
    ::SendInput(2, click, sizeof(INPUT));
}

void LeftDown() {
    INPUT press = Button(MOUSEEVENTF_LEFTDOWN);
    ::SendInput(1, &press, sizeof(INPUT));
}

void LeftUp() {
    INPUT release = Button(MOUSEEVENTF_LEFTUP);
    ::SendInput(1, &release, sizeof(INPUT));
}

void Click(POINT screenPoint) {
    MovePointer(screenPoint);
    LeftDown();
    LeftUp();
}

POINT CentreOf(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

}  // namespace test
