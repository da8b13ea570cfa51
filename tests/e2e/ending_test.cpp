// However Veilkeeper ends, no hidden window is lost: Exit and every other end
// of its main window give the windows back, and after a kill the next start
// lists again those still hidden. Real windows of other programs throughout.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "input.h"
#include "poll.h"
#include "record_entry.h"
#include "resource.h"
#include "user_settings.h"
#include "veilkeeper_session.h"
#include "wide_text.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;

class Ending : public test::VeilkeeperRunning {
protected:
    std::vector<std::wstring> Titles() {
        std::vector<std::wstring> titles;
        for (int row = 0; row < list->Count(); ++row) {
            titles.push_back(list->Text(row));
        }
        return titles;
    }
};

TEST_F(Ending, AfterAKillTheNextStartListsTheWindowsStillHiddenAndEachComesBack) {
    // Each is hidden before the next comes up, so none covers another.
    auto startHidden = [&](const std::wstring& title) {
        test::TargetProgram target = test::StartTarget(title, 20, 20);
        Hide(target.window);
        return target;
    };
    test::TargetProgram a = startHidden(L"甲");
    test::TargetProgram shownMeanwhile = startHidden(L"shown meanwhile");
    test::TargetProgram b = startHidden(L"乙 \U0001F648");
    test::TargetProgram closedMeanwhile = startHidden(L"closed meanwhile");
    test::TargetProgram c = startHidden(L"丙");

    veilkeeper->Kill();
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));
    ::ShowWindowAsync(shownMeanwhile.window, SW_SHOW);
    ASSERT_TRUE(PollUntil([&] { return Visible(shownMeanwhile.window); }));
    ::PostMessageW(closedMeanwhile.window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(closedMeanwhile.process.WaitForExit(10s));

    StartAgain();
    ASSERT_TRUE(Rows(3));
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"丙", L"乙 \U0001F648", L"甲"}));
    EXPECT_FALSE(Visible(a.window) || Visible(b.window) || Visible(c.window)) << "they stay hidden";
    EXPECT_EQ(test::HiddenWindowsRecord().size(), 3u) << "the dropped entries are gone from the record";

    // Each comes back with a double-click; Veilkeeper stays up for the next.
    test::AnswerOf(::GetDlgItem(main, IDC_HIDE_SELF_AFTER_SHOW), BM_CLICK);
    for (const auto* target : {&c, &b, &a}) {
        const int before = list->Count();
        test::DoubleClick(test::CentreOf(list->RowOnScreen(0)));
        EXPECT_TRUE(PollUntil([&] { return Visible(target->window); }));
        EXPECT_TRUE(Rows(before - 1));
    }
    // A row goes from the list a moment before its entry from the record.
    EXPECT_TRUE(PollUntil([] { return test::HiddenWindowsRecord().empty(); }));
}

TEST_F(Ending, EveryOtherEndOfTheMainWindowShowsTheListedWindows) {
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        DWORD lParam;
    };
    const Case cases[] = {
        {"a WM_QUIT posted by another program", WM_QUIT, 0, 0},
        {"log-off", WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF},
        {"the system asking Veilkeeper to close", WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TargetProgram first = test::StartTarget(L"第一个", 20, 20);
        test::TargetProgram second = test::StartTarget(L"second", 20, 300);
        Hide(first.window);
        Hide(second.window);

        ::PostMessageW(main, c.message, c.wParam, static_cast<LPARAM>(c.lParam));
        EXPECT_TRUE(veilkeeper->WaitForExit(10s));
        EXPECT_TRUE(PollUntil([&] { return Visible(first.window) && Visible(second.window); }));
        EXPECT_TRUE(test::HiddenWindowsRecord().empty());

        StartAgain();
        EXPECT_EQ(list->Count(), 0) << "nothing is left to list again";
    }
}

TEST_F(Ending, ARecordedHandleThatNamesAnotherProgramsWindowNeverShowsIt) {
    test::TargetProgram recorded = test::StartTarget(L"recorded", 20, 20);
    test::TargetProgram other = test::StartTarget(L"another program's", 20, 300);
    Hide(recorded.window);
    veilkeeper->Kill();
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));

    // The entry's handle now names a window of another process, as once the
    // recorded window is gone and its handle value is handed out again; that
    // window is hidden, by its own program say.
    auto entries = test::HiddenWindowsRecord();
    ASSERT_EQ(entries.size(), 1u);
    auto entry = hider::DecodeEntry(hider::Utf16(entries[0].first), hider::Utf16(entries[0].second));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->window.processId, recorded.process.Id());
    EXPECT_NE(entry->window.processStart, 0u) << "the process's start was read";
    entry->window.handle = reinterpret_cast<UINT_PTR>(other.window);
    test::StoreHiddenWindowsEntry(entries[0].first, hider::Wide(hider::EncodeEntry(*entry)));
    ::ShowWindowAsync(other.window, SW_HIDE);
    ASSERT_TRUE(PollUntil([&] { return !Visible(other.window); }));

    StartAgain();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_TRUE(test::HiddenWindowsRecord().empty());
    ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
    EXPECT_TRUE(veilkeeper->WaitForExit(10s));
    EXPECT_FALSE(PollUntil([&] { return Visible(other.window); }, 1s)) << "Veilkeeper never showed it";
}

}  // namespace
