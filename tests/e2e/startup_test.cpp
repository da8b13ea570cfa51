// Start-up as a user meets it: Veilkeeper.exe started with each kind of
// instance-count library in the system directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "child_process.h"
#include "poll.h"
#include "system_directory.h"
#include "veilkeeper_session.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;

const wchar_t kFilesDamaged[] = L"系统文件被破坏，请卸载后重新安装。";
const wchar_t kAlreadyRunning[] = L"系统中已经运行了本程序的一个实例。";

using test::FirstDialogOf;
using test::IsMainWindow;
using test::StartVeilkeeper;

struct StartupCase {
    const wchar_t* library;  // installed as Onecopy.dll; empty: none
    const wchar_t* message;  // the warning shown; empty: the main window comes up
};

class Startup : public ::testing::TestWithParam<StartupCase> {};

TEST_P(Startup, ShowsTheRightWindow) {
    const StartupCase& c = GetParam();
    ASSERT_TRUE(test::InstallInstanceLibrary(c.library));

    test::ChildProcess veilkeeper = StartVeilkeeper();
    ASSERT_TRUE(veilkeeper.Started());
    HWND shown = FirstDialogOf(veilkeeper);
    ASSERT_NE(shown, nullptr) << "no window at all";

    if (*c.message == L'\0') {
        EXPECT_TRUE(IsMainWindow(shown));
        EXPECT_EQ(test::TextOf(shown), L"Veilkeeper");
        EXPECT_TRUE(veilkeeper.Running());
        return;  // the child process ends it
    }

    EXPECT_FALSE(IsMainWindow(shown));
    EXPECT_EQ(test::TextOf(shown), L"Veilkeeper");
    const auto texts = test::StaticTextsOf(shown);
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::wstring(c.message)), texts.end());
    // An icon beside the text. Which one cannot be told from here: another
    // process's icon handle means nothing in this one.
    bool hasIcon = false;
    for (HWND child = ::GetWindow(shown, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        hasIcon = hasIcon || (::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    }
    EXPECT_TRUE(hasIcon);

    // OK ends the program, and no main window ever came.
    ::PostMessageW(shown, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(veilkeeper.WaitForExit(10s));
    EXPECT_EQ(test::VisibleWindowOf(veilkeeper.Id(), L"#32770"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(EachLibrary, Startup,
                         ::testing::Values(StartupCase{L"", kFilesDamaged},
                                           StartupCase{L"onecopy_without_getcount.dll", kFilesDamaged},
                                           StartupCase{L"onecopy_count0.dll", L""},
                                           StartupCase{L"onecopy_count1.dll", L""},
                                           StartupCase{L"onecopy_count2.dll", kAlreadyRunning}));

TEST(SecondInstance, IsRefusedWhileTheFirstRuns) {
    ASSERT_TRUE(test::InstallInstanceLibrary(L"Onecopy.dll"));
    test::ChildProcess first = StartVeilkeeper();
    HWND firstMain = FirstDialogOf(first);
    ASSERT_TRUE(IsMainWindow(firstMain));
    ::PostMessageW(firstMain, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(firstMain); }));

    test::ChildProcess second = StartVeilkeeper();
    HWND shown = FirstDialogOf(second);
    ASSERT_NE(shown, nullptr);
    EXPECT_FALSE(IsMainWindow(shown));
    const auto texts = test::StaticTextsOf(shown);
    EXPECT_NE(std::find(texts.begin(), texts.end(), std::wstring(kAlreadyRunning)), texts.end());
    EXPECT_FALSE(::IsWindowVisible(firstMain)) << "the warning is not covered by the first's window";
    ::PostMessageW(shown, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(second.WaitForExit(10s));
    // Then the running instance shows itself: its window is never out of
    // reach, even when another program holds its show-key.
    EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(firstMain) != FALSE; }));

    // Once the first one is gone, however it ended, the next start runs.
    first.Kill();
    test::ChildProcess third = StartVeilkeeper();
    EXPECT_TRUE(IsMainWindow(FirstDialogOf(third)));
}

}  // namespace
