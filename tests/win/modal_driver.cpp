#include "modal_driver.h"

#include <thread>

#include "poll.h"

namespace test {

BEGIN_MESSAGE_MAP(TestApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

namespace {
TestApp g_app;

UINT RunJobMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Veilkeeper.Test.RunOnDialogThread");
    return message;
}

// Sees each message the dialog's thread takes from its queue, whichever loop
// takes it, and runs the job one carries.
LRESULT CALLBACK RunJobHook(int code, WPARAM removed, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE && msg->message == RunJobMessage()) {
        (*reinterpret_cast<const std::function<void()>*>(msg->lParam))();
        msg->message = WM_NULL;
    }
    return ::CallNextHookEx(nullptr, code, removed, lParam);
}

}  // namespace

TestApp& App() {
    return g_app;
}

HWND ModalDriver::Window() {
    if (m_window == nullptr) {
        WaitFor([this] { return m_dialog.m_hWnd != nullptr && ::IsWindowVisible(m_dialog.m_hWnd); });
        m_window = m_dialog.m_hWnd;
        // Up once its loop reads the queue: until then a thread that has read
        // none for five seconds (the tests before ran on it without a loop)
        // counts as hung, and requests that give up on a hung window (the
        // window's text, asked as of another program's) fail at once.
        DWORD_PTR ignored = 0;
        if (m_window != nullptr) {
            ::SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
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

LRESULT ModalDriver::Notify(NMHDR& header) {
    LRESULT result = 0;
    HWND dialog = Window();
    OnDialogThread([&] {
        result = ::SendMessageW(dialog, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    });
    return result;
}

void ModalDriver::OnDialogThread(const std::function<void()>& job) {
    volatile LONG done = 0;
    const std::function<void()> marked = [&] {
        job();
        ::InterlockedExchange(&done, 1);
    };
    handles::unique_hhook hook(::SetWindowsHookExW(WH_GETMESSAGE, &RunJobHook, nullptr, m_threadId));
    if (hook && ::PostMessageW(Window(), RunJobMessage(), 0, reinterpret_cast<LPARAM>(&marked))) {
        WaitFor([&] { return done != 0; });
    }
}

INT_PTR RunModal(CDialog& dialog, const std::function<void(ModalDriver&)>& script) {
    ModalDriver driver(dialog);
    driver.m_threadId = ::GetCurrentThreadId();
    g_app.m_pMainWnd = &dialog;

    std::thread scriptThread([&] {
        script(driver);
        if (!driver.m_ended) {
            dialog.EndDialog(IDABORT);
        }
    });
    const INT_PTR result = dialog.DoModal();
    ::InterlockedExchange(&driver.m_ended, 1);
    scriptThread.join();

    g_app.m_pMainWnd = nullptr;
    return result;
}

}  // namespace test
