#include "modal_driver.h"

#include <thread>

#include "poll.h"

namespace test {

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

namespace {
TestApp g_app;

// The driver's marker, posted to the dialog.
constexpr UINT kMarker = WM_APP + 0x3FF;

// Set on the dialog's thread: the marker was taken from its queue, and a
// message sent to it found its queue empty.
volatile LONG g_markerTaken = 0;
volatile LONG g_queueEmpty = 0;

LRESULT CALLBACK NoteMarker(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == kMarker) {
        ::InterlockedExchange(&g_markerTaken, 1);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK NoteEmptyQueue(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_NULL) {
        ::InterlockedExchange(&g_queueEmpty, HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0 ? 1 : 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A modal run shows its dialog again the first time its queue goes empty, so
// a hide that came earlier would be undone. Waits until the modal loop runs
// (it took the marker from the queue) and the queue has then been empty once:
// whatever is posted after that is handled after the show.
void WaitForFirstIdle(HWND dialog, DWORD threadId) {
    HHOOK taken = ::SetWindowsHookExW(WH_GETMESSAGE, &NoteMarker, nullptr, threadId);
    HHOOK empty = ::SetWindowsHookExW(WH_CALLWNDPROC, &NoteEmptyQueue, nullptr, threadId);
    ::InterlockedExchange(&g_markerTaken, 0);
    ::InterlockedExchange(&g_queueEmpty, 0);
    ::PostMessageW(dialog, kMarker, 0, 0);
    WaitFor([&] { return g_markerTaken != 0; });
    WaitFor([&] {
        ::SendMessageW(dialog, WM_NULL, 0, 0);
        return g_queueEmpty != 0;
    });
    ::UnhookWindowsHookEx(empty);
    ::UnhookWindowsHookEx(taken);
}
}  // namespace

TestApp& App() {
    return g_app;
}

HWND ModalDriver::Window() {
    if (m_window == nullptr) {
        WaitFor([this] { return m_dialog.m_hWnd != nullptr && ::IsWindowVisible(m_dialog.m_hWnd); });
        m_window = m_dialog.m_hWnd;
        if (m_window != nullptr) {
            WaitForFirstIdle(m_window, m_threadId);
        }
    }
    return m_window;
}

bool ModalDriver::Ended(DWORD timeoutMs) {
    return WaitFor([this] { return m_ended != 0; }, std::chrono::milliseconds(timeoutMs));
}

void ModalDriver::PressKeyOn(int controlId, UINT virtualKey) {
    HWND control = Item(controlId);
    ::SendMessageW(Window(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    ::PostMessageW(control, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageW(control, WM_KEYUP, virtualKey, 0xC0000001);
}

INT_PTR RunModal(CDialog& dialog, const std::function<void(ModalDriver&)>& script) {
    ModalDriver driver(dialog);
    driver.m_threadId = ::GetCurrentThreadId();
    g_app.m_pMainWnd = &dialog;

    std::thread scriptThread([&] {
        script(driver);
        if (!driver.m_ended && driver.Window() != nullptr) {
            ::EndDialog(driver.Window(), IDABORT);
            ::PostMessageW(driver.Window(), WM_NULL, 0, 0);
        }
    });
    const INT_PTR result = dialog.DoModal();
    ::InterlockedExchange(&driver.m_ended, 1);
    scriptThread.join();

    g_app.m_pMainWnd = nullptr;
    return result;
}

}  // namespace test
