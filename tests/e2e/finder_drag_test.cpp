// The finder drag with real input: press on the finder icon, drag over
// another program's window, release.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>

#include "child_process.h"
#include "input.h"
#include "poll.h"
#include "remote_list_view.h"
#include "resource.h"
#include "system_directory.h"
#include "veilkeeper_session.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;


class FinderDrag : public test::VeilkeeperRunning {
protected:
    void SetUp() override {
        VeilkeeperRunning::SetUp();
        target.emplace(test::StartTarget(L"拖放目标", 20, 20));
        ASSERT_NE(target->edit, nullptr);
    }
    void TearDown() override { test::LeftUp(); }

    void PressOnFinder() {
        test::MovePointer(CentreOfWindow(::GetDlgItem(main, IDC_FINDER)));
        test::LeftDown();
    }
    bool StaysSo(const std::function<bool()>& condition) {
        return !PollUntil([&] { return !condition(); }, 500ms);
    }

    std::optional<test::TargetProgram> target;
};

TEST_F(FinderDrag, DroppingOnAControlHidesItsWindowWhileVeilkeeperStepsAside) {
    PressOnFinder();
    EXPECT_TRUE(PollUntil([&] { return !Visible(main); })) << "invisible while dragging";

    test::MovePointer(CentreOfWindow(target->edit));
    test::LeftUp();
    EXPECT_TRUE(PollUntil([&] { return !Visible(target->window); }));
    EXPECT_TRUE(PollUntil([&] { return list->Count() == 1; }));
    EXPECT_EQ(list->Text(0), L"拖放目标");
    EXPECT_TRUE(PollUntil([&] { return Visible(main); })) << "back after the drag";
}

TEST_F(FinderDrag, WithTheOptionOffDroppingOnVeilkeeperHidesNothing) {
    test::Click(CentreOfWindow(::GetDlgItem(main, IDC_INVISIBLE_ON_DROP)));
    ASSERT_TRUE(PollUntil([&] {
        return test::AnswerOf(::GetDlgItem(main, IDC_INVISIBLE_ON_DROP), BM_GETCHECK) == BST_UNCHECKED;
    }));

    PressOnFinder();
    EXPECT_TRUE(StaysSo([&] { return Visible(main); })) << "the option is off";
    test::MovePointer(CentreOfWindow(::GetDlgItem(main, test::kHiddenListId)));
    test::LeftUp();
    EXPECT_TRUE(StaysSo([&] { return Visible(main) && list->Count() == 0; }));

    // The drag is over: a press and release elsewhere hides nothing.
    test::Click(CentreOfWindow(target->edit));
    EXPECT_TRUE(StaysSo([&] { return Visible(target->window); }));
}

TEST_F(FinderDrag, ARightPressCancelsAndReleasingOverNothingHidesNothing) {
    struct Way {
        const char* name;
        std::function<void()> end;
    };
    // The right press comes last: its release reaches the target, whose own
    // context menu may open and take the next click.
    const Way ways[] = {
        {"release over the bare desktop",
         [&] {
             RECT screen{};
             ::GetWindowRect(::GetDesktopWindow(), &screen);
             test::MovePointer({screen.right - 20, screen.bottom - 20});
             test::LeftUp();
         }},
        {"right press over the target",
         [&] {
             test::MovePointer(CentreOfWindow(target->edit));
             test::RightClick(CentreOfWindow(target->edit));
             test::LeftUp();
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        PressOnFinder();
        ASSERT_TRUE(PollUntil([&] { return !Visible(main); }));
        way.end();
        EXPECT_TRUE(PollUntil([&] { return Visible(main); })) << "back after the drag";
        EXPECT_TRUE(StaysSo([&] { return Visible(target->window) && list->Count() == 0; }));
    }
}

// A press another program posts on the finder is no press of the user's:
// Veilkeeper stays, and the user's next click hides nothing.
TEST_F(FinderDrag, APressPostedOnTheFinderStartsNoDrag) {
    HWND finder = ::GetDlgItem(main, IDC_FINDER);
    RECT place{};
    ::GetWindowRect(finder, &place);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
    const POINT centre = test::CentreOf(place);
    ::PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    EXPECT_TRUE(StaysSo([&] { return Visible(main); })) << "no drag to step aside for";

    // Input comes after the posted press: a drag it had started would end here.
    test::Click(CentreOfWindow(target->edit));
    EXPECT_TRUE(StaysSo([&] { return Visible(target->window) && list->Count() == 0; }));
}

}  // namespace
