// The record of hidden windows as another program, or an unlucky user, finds
// it: a key that refuses writes, values that are not Veilkeeper's, and no
// trace once nothing is hidden.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "input.h"
#include "poll.h"
#include "unique_handle.h"
#include "user_settings.h"
#include "veilkeeper_session.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;

const std::wstring kHiddenKey = L"Software\\Veilkeeper\\Hidden";

class Record : public test::VeilkeeperRunning {
protected:
    void HideAndGiveBack(const test::TargetProgram& target) {
        ASSERT_NO_FATAL_FAILURE(Hide(target.window));
        test::DoubleClick(test::CentreOf(list->RowOnScreen(0)));
        ASSERT_TRUE(PollUntil([&] { return Visible(target.window); }));
        ASSERT_TRUE(Rows(0));
    }
};

TEST_F(Record, AWindowWhoseEntryCannotBeWrittenStaysOnScreenWithoutARow) {
    test::TargetProgram target = test::StartTarget(L"无法记录", 20, 20);
    // A volatile parent takes no lasting subkey: the session's entries cannot
    // be made. (Its own parent made first, so that only it is volatile.)
    handles::unique_hkey settingsKey;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Veilkeeper", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, settingsKey.put(), nullptr),
              ERROR_SUCCESS);
    handles::unique_hkey volatileParent;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kHiddenKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, volatileParent.put(), nullptr),
              ERROR_SUCCESS);
    HideWithKeyOver(target.window);
    // The hotkey's message comes before the click's input: with the menu up,
    // the hide-key has been handled.
    HWND menu = OpenCommandMenu();
    ASSERT_NE(menu, nullptr);
    test::PressKeys({VK_ESCAPE});
    ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(menu); }));
    EXPECT_TRUE(Visible(target.window));
    EXPECT_EQ(list->Count(), 0);

    // With a key that takes entries, the same window goes.
    volatileParent.reset();
    ASSERT_EQ(::RegDeleteKeyW(HKEY_CURRENT_USER, kHiddenKey.c_str()), ERROR_SUCCESS);
    HideWithKeyOver(target.window);
    EXPECT_TRUE(PollUntil([&] { return !Visible(target.window); }));
    EXPECT_TRUE(Rows(1));
}

TEST_F(Record, NothingOfVeilkeepersIsLeftOnceNothingIsHiddenAndNothingElseIsTouched) {
    // A first start with nothing stored: after the last restore, no key.
    test::TargetProgram target = test::StartTarget(L"窗口", 20, 20);
    HideAndGiveBack(target);
    EXPECT_FALSE(test::SettingsKeyExists()) << "no key of Veilkeeper's where none was";

    // Values that are not this program's entries: another format's, another
    // program's, and one beside the sessions' keys.
    struct Foreign {
        std::wstring name;
        std::wstring text;
        std::wstring key;
    };
    const Foreign foreign[] = {
        {L"FFFFFFF0", L"9 written by a later Veilkeeper", test::HiddenWindowsKey()},
        {L"Notes", L"someone else's", test::HiddenWindowsKey()},
        {L"00000001", L"1 10000 1 1 1 0 an older format", kHiddenKey},
    };
    for (const Foreign& f : foreign) {
        test::StoreHiddenWindowsEntry(f.name, f.text, f.key);
    }
    ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));
    StartAgain();
    EXPECT_EQ(list->Count(), 0);
    HideAndGiveBack(target);
    for (const Foreign& f : foreign) {
        bool found = false;
        for (const auto& [name, text] : test::HiddenWindowsRecord(f.key)) {
            found = found || (name == f.name && text == f.text);
        }
        EXPECT_TRUE(found) << "survives a start and a restore: " << std::string(f.name.begin(), f.name.end());
    }
    EXPECT_EQ(test::HiddenWindowsRecord().size(), 2u) << "the restored window's own entry is gone";
}

TEST_F(Record, ANameInLowerCaseIsNeverWrittenOverAndAWindowHiddenBesideItComesBackAfterAKill) {
    // The registry takes "0000000a" as the name "0000000A": after
    // "00000009", the next entry's.
    const std::pair<std::wstring, std::wstring> foreign[] = {{L"00000009", L"another program's"},
                                                              {L"0000000a", L"typed by hand"}};
    for (const auto& [name, text] : foreign) {
        test::StoreHiddenWindowsEntry(name, text, test::HiddenWindowsKey());
    }
    ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));
    StartAgain();
    test::TargetProgram target = test::StartTarget(L"大小写", 20, 20);
    ASSERT_NO_FATAL_FAILURE(Hide(target.window));

    veilkeeper->Kill();
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));
    StartAgain();
    ASSERT_TRUE(Rows(1)) << "its entry reads back";
    EXPECT_FALSE(Visible(target.window));
    ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
    ASSERT_TRUE(veilkeeper->WaitForExit(10s));
    EXPECT_TRUE(PollUntil([&] { return Visible(target.window); }));
    EXPECT_EQ(test::HiddenWindowsRecord(), (std::vector<std::pair<std::wstring, std::wstring>>(
                                               std::begin(foreign), std::end(foreign))))
        << "another's values stay as they were, and only they";
    StartAgain();
}

}  // namespace
