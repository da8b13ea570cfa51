#include "input.h"

#include <atomic>
#include <thread>
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

// On a desktop some window always has the keyboard (the shell's, at least);
// the virtual display's empty desktop has none, and then Wine makes no input
// for the keys, raw input included. A small window of ours, in a corner no
// pointer goes to, takes the keyboard then. It lives on a thread of its own
// that always pumps: under Wine the thread with the keyboard is the one whose
// reading of a key makes a hotkey fire.
class Desk {
public:
    Desk() {
        m_thread = std::thread([this] {
            HWND desk = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"desk", WS_POPUP | WS_VISIBLE, 1270, 1014,
                                          10, 10, nullptr, nullptr, nullptr, nullptr);
            m_threadId = ::GetCurrentThreadId();
            m_window = desk;
            MSG msg;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
                ::DispatchMessageW(&msg);
            }
            ::DestroyWindow(desk);
        });
        WaitFor([this] { return m_window.load() != nullptr; }, std::chrono::seconds(10));
    }
    ~Desk() {
        ::PostThreadMessageW(m_threadId.load(), WM_QUIT, 0, 0);
        m_thread.join();
    }
    HWND Window() const { return m_window.load(); }

private:
    std::atomic<HWND> m_window{nullptr};
    std::atomic<DWORD> m_threadId{0};
    std::thread m_thread;
};

bool IsOnScreen(HWND window) {
    return window != nullptr && ::IsWindowVisible(window);
}

// Keys go to the window with the focus in the thread in front. A window made
// the foreground window gets the focus a moment later, once its own thread
// has taken the activation: a key sent before is lost (seen: the first of a
// double Control+Tab never reached Veilkeeper's watch, with the desk in front
// and no focus yet).
bool SomeWindowOnScreenHasTheKeyboard() {
    HWND foreground = ::GetForegroundWindow();
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    return IsOnScreen(foreground) && ::GetGUIThreadInfo(::GetWindowThreadProcessId(foreground, nullptr), &thread) &&
           thread.hwndFocus != nullptr;
}

void GiveTheKeyboardToSomeWindow() {
    // A window just hidden may still be the foreground window for a moment,
    // until the system moves the activation on, to another window or to none.
    if (!IsOnScreen(::GetForegroundWindow())) {
        static Desk desk;
        ::SetForegroundWindow(desk.Window());
    }
    WaitFor(SomeWindowOnScreenHasTheKeyboard);
}

void Send(std::vector<INPUT> inputs) {
    GiveTheKeyboardToSomeWindow();
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
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
    Send(std::move(inputs));
}

void KeyDown(WORD virtualKey) {
    Send({Key(virtualKey, false)});
}

void KeyUp(WORD virtualKey) {
    Send({Key(virtualKey, true)});
}

void MovePointer(POINT screenPoint) {
    // The move reaches the system's cursor asynchronously: input that follows
    // must find the pointer already there, and so must every other program.
    // Wine answers from its own record of the move for 100 ms after it, and
    // from the X server after (seen: another program read the old place for a
    // while): the move is there once a reading from the X server has it too.
    // The record is made inside SetCursorPos, so only a reading well over
    // 100 ms after the call returned is the X server's (Wine counts whole
    // milliseconds). The X server refuses a move while another program holds
    // the pointer: the move is asked for again until it is taken, by way of a
    // neighbouring point, as Wine passes on only a move that changes its record.
    using Clock = std::chrono::steady_clock;
    constexpr auto kWineAnswersFromItsRecord = std::chrono::milliseconds(100 + 50);
    constexpr auto kAskAgainAfter = std::chrono::seconds(1);
    Clock::time_point asked;
    const auto ask = [&](bool again) {
        if (again) {
            ::SetCursorPos(screenPoint.x + 1, screenPoint.y);
        }
        ::SetCursorPos(screenPoint.x, screenPoint.y);
        asked = Clock::now();
    };
    ask(false);
    WaitFor([&] {
        const auto since = Clock::now() - asked;
        if (since <= kWineAnswersFromItsRecord) {
            return false;
        }
        POINT now{};
        if (::GetCursorPos(&now) && now.x == screenPoint.x && now.y == screenPoint.y) {
            return true;
        }
        if (since > kAskAgainAfter) {
            ask(true);
        }
        return false;
    });
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
