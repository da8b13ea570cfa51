// The keyboard watch on the real (Wine) raw input, with keys made through the
// system's input queue: what the watch reports, and what it relies on.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <vector>

#include "input.h"
#include "poll.h"
#include "raw_keyboard.h"

namespace {

using namespace std::chrono_literals;

struct Seen {
    HWND window;
    UINT virtualKey;
    bool down;
    bool operator==(const Seen&) const = default;
};

class RawKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        for (HWND& window : windows) {
            window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
            ASSERT_NE(window, nullptr);
        }
        // Keys need a window with the focus to go to: Wine makes no input for
        // an empty desktop, and keeps no key's state without a focus. A window
        // of its own, so the watch is nobody's focus.
        front = ::CreateWindowExW(0, L"STATIC", L"front", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
        ::SetForegroundWindow(front);
        ASSERT_TRUE(test::PollUntil([&] { return ::GetForegroundWindow() == front && ::GetFocus() == front; }));
    }
    void TearDown() override {
        platform::StopWatchingRawKeyboard();
        for (HWND window : windows) {
            ::DestroyWindow(window);
        }
        ::DestroyWindow(front);
    }
    // The key events that came until `count` had, or the time was up.
    std::vector<Seen> Take(size_t count, std::chrono::milliseconds timeout = 10s) {
        std::vector<Seen> seen;
        test::WaitFor(
            [&] {
                MSG msg;
                while (::PeekMessageW(&msg, nullptr, WM_INPUT, WM_INPUT, PM_REMOVE)) {
                    if (auto event = platform::KeyEventOf(msg.lParam)) {
                        seen.push_back({msg.hwnd, event->virtualKey, event->down});
                    }
                }
                return seen.size() >= count;
            },
            timeout);
        return seen;
    }
    HWND windows[2] = {};
    HWND front = nullptr;
};

TEST_F(RawKeyboard, EveryKeyComesToTheWindowWatchingAndNoneOnceTheWatchEnds) {
    // Set up, ended and set up again on another window: only that one hears.
    ASSERT_TRUE(platform::WatchRawKeyboard(windows[0]));
    platform::StopWatchingRawKeyboard();
    ASSERT_TRUE(platform::WatchRawKeyboard(windows[1]));
    test::PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_EQ(Take(4), (std::vector<Seen>{{windows[1], VK_LCONTROL, true},
                                          {windows[1], VK_TAB, true},
                                          {windows[1], VK_TAB, false},
                                          {windows[1], VK_LCONTROL, false}}));

    platform::StopWatchingRawKeyboard();
    test::PressKeys({VK_TAB});
    EXPECT_TRUE(Take(1, 1s).empty());
}

TEST_F(RawKeyboard, KeyInputIsQueuedUntilTheWatchTakesIt) {
    ASSERT_TRUE(platform::WatchRawKeyboard(windows[0]));
    test::PressKeys({0xC0});
    ASSERT_TRUE(test::WaitFor([] { return platform::KeyInputQueued(); }));
    EXPECT_EQ(Take(2).size(), 2u);
    EXPECT_FALSE(platform::KeyInputQueued());
}

}  // namespace
