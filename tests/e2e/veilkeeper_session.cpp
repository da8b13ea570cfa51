#include "veilkeeper_session.h"

#include <cstdio>
#include <string>

#include "held_hotkey.h"
#include "input.h"
#include "poll.h"
#include "system_directory.h"
#include "user_settings.h"
#include "windows_of.h"

namespace test {

using namespace std::chrono_literals;

ChildProcess StartVeilkeeper() {
    return ChildProcess(ProgramFolder() + L"\\Veilkeeper.exe", L"");
}

HWND FirstDialogOf(const ChildProcess& process) {
    HWND found = nullptr;
    PollUntil([&] { return (found = VisibleWindowOf(process.Id(), L"#32770")) != nullptr; }, 20s);
    return found;
}

bool IsMainWindow(HWND window) {
    return window != nullptr && ::GetDlgItem(window, kHiddenListId) != nullptr;
}

TargetProgram StartTarget(const std::wstring& title, int x, int y, const std::wstring& kind) {
    TargetProgram target{
        ChildProcess(ProgramFolder() + L"\\target_window.exe",
                     L"\"" + title + L"\" " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" " + kind, true),
        nullptr, nullptr};
    const std::string handles = target.process.ReadLine(20s).value_or("");
    void* window = nullptr;
    void* edit = nullptr;
    if (std::sscanf(handles.c_str(), "%p %p", &window, &edit) == 2) {
        target.window = static_cast<HWND>(window);
        target.edit = static_cast<HWND>(edit);
    }
    return target;
}

bool Answers(HWND window, UINT timeoutMs) {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

bool Hang(TargetProgram& target) {
    ::PostMessageW(target.window, kHangTarget, 0, 0);
    return target.process.ReadLine(20s) == "hanging";
}

void Resume(TargetProgram& target) {
    target.process.WriteLine("resume");
}

void VeilkeeperRunning::SetUp() {
    ForgetSettings();  // every test starts as a first start
    ASSERT_TRUE(InstallInstanceLibrary(L"Onecopy.dll"));
    StartAgain();
}

namespace {
// What a start showed instead of its main window, for the failure's message.
std::string Instead(const ChildProcess& process, HWND shown) {
    if (shown != nullptr) {
        return "another dialog";
    }
    DWORD code = 0;
    if (!process.Running() && ::GetExitCodeProcess(process.Handle(), &code)) {
        return "no window; it ended with code " + std::to_string(code);
    }
    return "no window; it still runs";
}
}  // namespace

void VeilkeeperRunning::StartAgain() {
    list.reset();
    veilkeeper.reset();
    veilkeeper.emplace(StartVeilkeeper());
    main = FirstDialogOf(*veilkeeper);
    ASSERT_TRUE(IsMainWindow(main)) << Instead(*veilkeeper, main);
    list.emplace(::GetDlgItem(main, kHiddenListId));
}

bool VeilkeeperRunning::Rows(int count) {
    return PollUntil([&] { return list->Count() == count; });
}

POINT VeilkeeperRunning::CentreOfWindow(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return CentreOf(rect);
}

HWND VeilkeeperRunning::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info);
    return info.hwndFocus;
}

HWND VeilkeeperRunning::OpenCommandMenu() {
    Click(CentreOfWindow(::GetDlgItem(main, kMenuButtonId)));
    HWND menu = nullptr;
    PollUntil([&] {
        menu = ::FindWindowW(L"#32768", nullptr);
        return menu != nullptr && ::IsWindowVisible(menu);
    });
    return menu;
}

bool PointAt(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const POINT centre = CentreOf(rect);
    MovePointer(centre);
    // A window that has just been shown, or one that has just gone from the
    // same place, may not yet be what the system finds there.
    HWND root = ::GetAncestor(window, GA_ROOT);
    return PollUntil([&] { return ::GetAncestor(::WindowFromPoint(centre), GA_ROOT) == root; });
}

bool HeldBySomeone(UINT modifiers, UINT virtualKey) {
    return PollUntil([&] { return !IsFree(modifiers, virtualKey); });
}

void VeilkeeperRunning::HideWithKeyOver(HWND window, std::initializer_list<WORD> keys) {
    EXPECT_TRUE(PointAt(window)) << "the window is what lies under the pointer";
    PressKeys(keys);
}

void VeilkeeperRunning::Hide(HWND window) {
    const int before = list->Count();
    HideWithKeyOver(window);
    ASSERT_TRUE(Rows(before + 1)) << "listed";
    ASSERT_TRUE(PollUntil([&] { return !Visible(window); })) << "gone from the screen";
}

}  // namespace test
