// A notification another program posts never reaches a window of the thread
// that filters its posted messages; one sent on the thread, as our controls
// send theirs, does.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>

#include "poll.h"
#include "posted_messages.h"

namespace {

int g_notifications = 0;
bool g_markerSeen = false;
constexpr UINT kMarker = WM_APP + 7;

LRESULT CALLBACK CountNotifications(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        ++g_notifications;
    } else if (message == kMarker) {
        g_markerSeen = true;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class PostedMessages : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &CountNotifications;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"NotificationCounter";
        ::RegisterClassW(&windowClass);
        window = ::CreateWindowExW(0, L"NotificationCounter", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                   nullptr);
        ASSERT_NE(window, nullptr);
        g_notifications = 0;
    }
    void TearDown() override { ::DestroyWindow(window); }

    // Posts a notification with a pointer to nothing, then a marker; the
    // notifications the window got once the marker came.
    int NotificationsOfAPost() {
        g_notifications = 0;
        g_markerSeen = false;
        ::PostMessageW(window, WM_NOTIFY, 1, 0x10);
        ::PostMessageW(window, kMarker, 0, 0);
        EXPECT_TRUE(test::PollUntil([] { return g_markerSeen; }));
        return g_notifications;
    }
    HWND window = nullptr;
};

TEST_F(PostedMessages, APostedNotificationIsDroppedWhileTheFilterLives) {
    {
        const fw::PostedMessageFilter filter;
        EXPECT_EQ(NotificationsOfAPost(), 0);
        NMHDR header{window, 1, 0};
        ::SendMessageW(window, WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header));
        EXPECT_EQ(g_notifications, 1) << "a sent one comes";
    }
    EXPECT_EQ(NotificationsOfAPost(), 1) << "the filter went with its owner";
}

}  // namespace
