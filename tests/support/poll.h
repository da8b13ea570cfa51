// Waiting for something another process or the window manager does: poll with
// a deadline, never sleep a fixed time and hope.
#pragma once

#include <windows.h>

#include <chrono>

namespace test {

using namespace std::chrono_literals;

// Polls until the condition holds or the time is up, pumping this thread's
// messages meanwhile. Whether the condition held at the end.
template <typename Condition>
bool PollUntil(Condition condition, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

// Polls the same way without touching this thread's message queue, for a
// thread that must not become a GUI thread of its own.
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        ::Sleep(5);
    }
    return true;
}

}  // namespace test
