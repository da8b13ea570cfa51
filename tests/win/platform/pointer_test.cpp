// The left button's state as the finder asks it, on the real (Wine) input:
// a press made through the system's input queue leaves it down, one that
// another program posts does not.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "input.h"
#include "poll.h"
#include "pointer.h"

namespace {

using namespace std::chrono_literals;

class LeftButton : public ::testing::Test {
protected:
    void SetUp() override {
        // Not a static control: those let the pointer's messages through.
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"LeftButtonProbe";
        ::RegisterClassW(&windowClass);
        window = ::CreateWindowExW(WS_EX_TOPMOST, L"LeftButtonProbe", L"", WS_POPUP | WS_VISIBLE, 100, 100, 80, 80, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        test::LeftUp();
        ::DestroyWindow(window);
    }
    // Whether the left button was down for this thread while it handled the
    // next WM_LBUTTONDOWN of the window; none when none came in time.
    std::optional<bool> DownAtNextPress() {
        std::optional<bool> down;
        test::WaitFor([&] {
            MSG msg;
            while (::PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_LBUTTONDOWN) {
                    down = platform::LeftButtonDownInInput();
                }
                ::DispatchMessageW(&msg);
            }
            return down.has_value();
        });
        return down;
    }
    HWND window = nullptr;
};

TEST_F(LeftButton, IsDownForARealPressAndUpForAPostedOne) {
    test::MovePointer({140, 140});
    test::LeftDown();
    EXPECT_EQ(DownAtNextPress(), std::optional<bool>(true)) << "a real press";
    test::LeftUp();
    ASSERT_TRUE(test::PollUntil([] { return !platform::LeftButtonDownInInput(); }));

    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
    EXPECT_EQ(DownAtNextPress(), std::optional<bool>(false)) << "a posted press";
}

}  // namespace
