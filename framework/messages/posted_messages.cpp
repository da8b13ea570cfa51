#include "posted_messages.h"

#include <windows.h>

namespace fw {

namespace {

// Sees every message this thread takes from its queue, before it is handled;
// sent messages never pass here.
LRESULT CALLBACK DropPostedNotifications(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message == WM_NOTIFY) {
            msg->message = WM_NULL;
            msg->lParam = 0;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

PostedMessageFilter::PostedMessageFilter()
    : m_hook(::SetWindowsHookExW(WH_GETMESSAGE, &DropPostedNotifications, nullptr, ::GetCurrentThreadId())) {}

}  // namespace fw
