// Runs a dialog modally on the test's own thread, as the program runs its main
// window, while a script on a second thread looks at it and drives it the way
// the window manager and a user would.
#pragma once

#include <windows.h>

#include <functional>

#include "framework.h"

namespace test {

// The test program's application object: records requests for the user guide.
class TestApp final : public CWinApp {
public:
    void WinHelp() override { ::InterlockedIncrement(&helpRequests); }
    LONG helpRequests = 0;

    DECLARE_MESSAGE_MAP()
};
TestApp& App();

// What a script sees of the dialog it drives.
class ModalDriver {
public:
    explicit ModalDriver(CDialog& dialog) : m_dialog(dialog) {}

    // The dialog's window once it is up; none when it did not come up in time.
    HWND Window();
    HWND Item(int id) { return ::GetDlgItem(Window(), id); }
    DWORD ThreadId() const { return m_threadId; }
    // Whether the modal run ended within the timeout.
    bool Ended(DWORD timeoutMs);

    // A key press as the dialog manager sees it: the focus on the control, then
    // the key's messages in the dialog's queue.
    void PressKeyOn(int controlId, UINT virtualKey);

    // Sends a control's notification to the dialog from the dialog's own
    // thread, as the control does (from any other thread it is ignored); the
    // dialog's answer.
    LRESULT Notify(NMHDR& header);
    // Runs `job` on the dialog's thread, between two of its messages, and
    // returns once it has run.
    void OnDialogThread(const std::function<void()>& job);

private:
    friend INT_PTR RunModal(CDialog&, const std::function<void(ModalDriver&)>&);

    CDialog& m_dialog;
    HWND m_window = nullptr;
    DWORD m_threadId = 0;
    volatile LONG m_ended = 0;
};

// Runs `dialog` as the main window until `script` returns, then ends it if it
// still runs. The dialog's result.
INT_PTR RunModal(CDialog& dialog, const std::function<void(ModalDriver&)>& script);

}  // namespace test
