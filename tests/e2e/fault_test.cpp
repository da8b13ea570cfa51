// The fault suite: Veilkeeper against programs and settings that misbehave,
// simultaneous starts, and planted libraries.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "held_hotkey.h"
#include "input.h"
#include "poll.h"
#include "remote_list_view.h"
#include "resource.h"
#include "system_directory.h"
#include "user_settings.h"
#include "veilkeeper_session.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;

// The prefix's folder for temporary files, with its closing backslash.
std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    return temp;
}

// Where the planted library (rogue_onecopy.dll) marks that it was loaded; no
// mark is there yet.
std::wstring FreshRogueMark() {
    const std::wstring mark = TempFolder() + L"veilkeeper-rogue-loaded";
    ::DeleteFileW(mark.c_str());
    return mark;
}

// Puts the planted library (it marks its loading) into a folder under a name.
bool PlantRogueLibrary(const std::wstring& folder, const wchar_t* name) {
    return ::CopyFileW((test::ProgramFolder() + L"\\rogue_onecopy.dll").c_str(), (folder + L"\\" + name).c_str(),
                       FALSE) != FALSE;
}

class Faults : public test::VeilkeeperRunning {};

TEST_F(Faults, AWindowThatGoesWhileHiddenLosesItsRowBySelf) {
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "its program killed" : "closed by its program");
        test::TargetProgram target = test::StartTarget(L"会退出的程序", 20, 20);
        test::TargetProgram stays = test::StartTarget(L"stays", 20, 300);
        for (HWND window : {stays.window, target.window}) {
            ASSERT_NO_FATAL_FAILURE(Hide(window));
        }

        if (killed) {
            target.process.Kill();
        } else {
            ::PostMessageW(target.window, WM_CLOSE, 0, 0);
        }
        ASSERT_TRUE(target.process.WaitForExit(10s));
        EXPECT_TRUE(Rows(1));
        EXPECT_EQ(list->Text(0), L"stays");
        EXPECT_FALSE(::IsWindowVisible(stays.window));
        EXPECT_TRUE(test::Answers(main, 1000));

        test::DoubleClick(test::CentreOf(list->RowOnScreen(0)));
        EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(stays.window) != FALSE; }));
        // The option hides Veilkeeper after the restore, a moment after the
        // window came back: shown again only once it has.
        ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(main); }));
        ::ShowWindowAsync(main, SW_SHOWNA);
        ASSERT_TRUE(PollUntil([&] { return list->Count() == 0 && ::IsWindowVisible(main); }));
    }
}

TEST_F(Faults, TitlesInAnyScriptComeBackUnchanged) {
    const std::wstring titles[] = {
        L"中文标题：隐藏窗口",
        L"日本語のタイトル",
        L"عنوان عربي",
        L"Emoji 🙈🪟✨",
    };
    std::vector<test::TargetProgram> targets;
    for (const std::wstring& title : titles) {
        targets.push_back(test::StartTarget(title, 20, 20));
        ASSERT_NO_FATAL_FAILURE(Hide(targets.back().window));
    }
    for (size_t i = 0; i < targets.size(); ++i) {
        EXPECT_EQ(list->Text(static_cast<int>(targets.size() - 1 - i)), titles[i]);  // newest on top
    }
}

// Each test starts Veilkeeper itself, as its case needs, from a first start
// with the instance-count library in place.
class FaultsAtStart : public ::testing::Test {
protected:
    void SetUp() override {
        test::ForgetSettings();
        ASSERT_TRUE(test::InstallInstanceLibrary(L"Onecopy.dll"));
    }
    void TearDown() override { test::ForgetSettings(); }
};

TEST_F(FaultsAtStart, OfTenInstancesStartedAtOnceExactlyOneStays) {
    std::vector<std::unique_ptr<test::ChildProcess>> instances;
    for (int i = 0; i < 10; ++i) {
        instances.push_back(std::make_unique<test::ChildProcess>(test::StartVeilkeeper()));
    }

    // Each shows its main window or the "already running" box.
    std::vector<HWND> shown(instances.size(), nullptr);
    ASSERT_TRUE(PollUntil([&] {
        for (size_t i = 0; i < instances.size(); ++i) {
            if (shown[i] == nullptr) {
                shown[i] = test::VisibleWindowOf(instances[i]->Id(), L"#32770");
            }
            if (shown[i] == nullptr) {
                return false;
            }
        }
        return true;
    }, 30s));

    int mainWindows = 0;
    for (size_t i = 0; i < instances.size(); ++i) {
        if (test::IsMainWindow(shown[i])) {
            ++mainWindows;
            continue;
        }
        const auto texts = test::StaticTextsOf(shown[i]);
        EXPECT_NE(std::find(texts.begin(), texts.end(), std::wstring(L"系统中已经运行了本程序的一个实例。")), texts.end());
        ::PostMessageW(shown[i], WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(instances[i]->WaitForExit(10s));
    }
    EXPECT_EQ(mainWindows, 1);
}

TEST_F(FaultsAtStart, AHideKeyHeldByAnotherProgramLeavesTheRestWorking) {
    const test::HeldHotKey hideKey(0, test::kDefaultHideKey);
    ASSERT_TRUE(hideKey.Held()) << "this test holds the hide-key";

    test::ChildProcess veilkeeper = test::StartVeilkeeper();
    HWND main = test::FirstDialogOf(veilkeeper);
    ASSERT_TRUE(test::IsMainWindow(main));

    // The show-key works.
    ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindowVisible(main); }));
    test::PressKeys({VK_CONTROL, VK_TAB});
    test::PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(PollUntil([&] { return ::IsWindowVisible(main) != FALSE; }));

    // A free key chosen in the dialog works.
    ::PostMessageW(main, WM_COMMAND, test::kSetHotKeyCommand, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(PollUntil([&] {
        dialog = ::FindWindowW(L"#32770", L"快捷键设定");
        return dialog != nullptr && ::IsWindowVisible(dialog);
    }));
    test::AnswerOf(::GetDlgItem(dialog, IDC_HOTKEY), HKM_SETHOTKEY, MAKEWORD(VK_F8, HOTKEYF_CONTROL));
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PollUntil([&] { return !::IsWindow(dialog); }));

    ASSERT_TRUE(test::HeldBySomeone(MOD_CONTROL, VK_F8)) << "Veilkeeper took the new key";

    test::TargetProgram target = test::StartTarget(L"目标", 20, 20);
    ASSERT_TRUE(test::PointAt(target.window));
    test::PressKeys({VK_CONTROL, VK_F8});
    EXPECT_TRUE(PollUntil([&] { return !::IsWindowVisible(target.window); }));

    ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
    EXPECT_TRUE(veilkeeper.WaitForExit(10s));
}

// Settings of the wrong type or size, one at a time and all at once: each
// start shows the main window with the values the reading rules give.
TEST_F(FaultsAtStart, BrokenSettingsNeverStopAStart) {
    struct Value {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> bytes;
    };
    struct Case {
        const char* what;
        std::vector<Value> stored;
        bool invisibleOnDrop;
        bool hideSelfAfterShow;
        bool holdsPlainDefaultKey;  // 0xC0 without modifiers is Veilkeeper's
    };
    const std::vector<BYTE> longString(4000, 'x');
    const Case cases[] = {
        {"a string of 4 bytes is a number: on", {{L"InvisibleOnDrop", REG_SZ, {'0', 0, 0, 0}}}, true, true, true},
        {"1 byte of 0: off", {{L"InvisibleOnDrop", REG_BINARY, {0}}}, false, true, true},
        {"2 bytes of 0: off", {{L"HideSelfAfterShow", REG_BINARY, {0, 0}}}, true, false, true},
        {"3 bytes: F8", {{L"VirtualKey", REG_BINARY, {0x77, 0, 0}}}, true, true, false},
        {"5 bytes: not read", {{L"VirtualKey", REG_BINARY, {0x77, 0, 0, 0, 0}}}, true, true, true},
        {"8 bytes: not read", {{L"Modifiers", REG_BINARY, {4, 0, 0, 0, 0, 0, 0, 0}}}, true, true, true},
        {"a 64-bit value: not read", {{L"Modifiers", REG_QWORD, {4, 0, 0, 0, 0, 0, 0, 0}}}, true, true, true},
        {"a very long string: not read", {{L"VirtualKey", REG_SZ, longString}}, true, true, true},
        {"all at once",
         {{L"InvisibleOnDrop", REG_BINARY, {0}},
          {L"HideSelfAfterShow", REG_SZ, longString},
          {L"VirtualKey", REG_QWORD, {0x77, 0, 0, 0, 0, 0, 0, 0}},
          {L"Modifiers", REG_BINARY, {4}}},  // Alt: the key becomes Alt+0xC0
         false, true, false},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ForgetSettings();
        for (const Value& value : c.stored) {
            test::StoreValue(value.name, value.type, value.bytes);
        }
        test::ChildProcess veilkeeper = test::StartVeilkeeper();
        HWND main = test::FirstDialogOf(veilkeeper);
        ASSERT_TRUE(test::IsMainWindow(main));
        EXPECT_EQ(test::AnswerOf(::GetDlgItem(main, IDC_INVISIBLE_ON_DROP), BM_GETCHECK) == BST_CHECKED,
                  c.invisibleOnDrop);
        EXPECT_EQ(test::AnswerOf(::GetDlgItem(main, IDC_HIDE_SELF_AFTER_SHOW), BM_GETCHECK) == BST_CHECKED,
                  c.hideSelfAfterShow);
        EXPECT_EQ(!test::IsFree(0, test::kDefaultHideKey), c.holdsPlainDefaultKey);
        ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
        EXPECT_TRUE(veilkeeper.WaitForExit(10s));
    }
}

TEST_F(FaultsAtStart, APlantedLibraryBesideTheProgramOrInTheCurrentFolderIsNeverLoaded) {
    const std::wstring temp = TempFolder();
    const std::wstring mark = FreshRogueMark();

    const std::wstring programFolder = temp + L"veilkeeper-planted-beside";
    const std::wstring currentFolder = temp + L"veilkeeper-planted-current";
    for (const std::wstring& folder : {programFolder, currentFolder}) {
        ::CreateDirectoryW(folder.c_str(), nullptr);
        ASSERT_TRUE(PlantRogueLibrary(folder, L"Onecopy.dll"));
    }
    ASSERT_TRUE(::CopyFileW((test::ProgramFolder() + L"\\Veilkeeper.exe").c_str(),
                            (programFolder + L"\\Veilkeeper.exe").c_str(), FALSE));

    test::ChildProcess veilkeeper(programFolder + L"\\Veilkeeper.exe", L"", false, currentFolder);
    HWND main = test::FirstDialogOf(veilkeeper);
    EXPECT_TRUE(test::IsMainWindow(main)) << "the planted library would have refused the start";
    EXPECT_EQ(::GetFileAttributesW(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "the planted library was loaded";
    if (main != nullptr) {
        ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
        EXPECT_TRUE(veilkeeper.WaitForExit(10s));
    }
}

// The shell loads the handlers of a file class by name when it opens a file
// of that class: F1 opening the guide makes it load whatever the `.html`
// class names. A library of that name planted beside the program must not be
// the one it finds.
class ShellHandlerNamedByFile {
public:
    ShellHandlerNamedByFile(const wchar_t* library) {
        m_hadHtml = Read(L"Software\\Classes\\.html", m_html);
        Write(L"Software\\Classes\\.html", L"Veilkeeper.Test.html");
        Write(std::wstring(L"Software\\Classes\\Veilkeeper.Test.html\\shellex\\ContextMenuHandlers\\") + kClsid, L"");
        Write(std::wstring(L"Software\\Classes\\CLSID\\") + kClsid + L"\\InprocServer32", library);
    }
    ~ShellHandlerNamedByFile() {
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\Veilkeeper.Test.html");
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\CLSID\\") + kClsid).c_str());
        if (m_hadHtml) {
            Write(L"Software\\Classes\\.html", m_html);
        } else {
            ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.html", nullptr);
        }
    }

private:
    static constexpr const wchar_t* kClsid = L"{6B0C5E3A-1D2F-4A7B-9C8D-0E1F2A3B4C5D}";

    static bool Read(const wchar_t* key, std::wstring& value) {
        wchar_t text[256] = {};
        DWORD size = sizeof text;
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, key, nullptr, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
            return false;
        }
        value = text;
        return true;
    }
    static void Write(const std::wstring& key, const std::wstring& value) {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    bool m_hadHtml = false;
    std::wstring m_html;
};

TEST_F(FaultsAtStart, ALibraryPlantedBesideTheProgramIsNotLoadedWhenF1OpensTheGuide) {
    const std::wstring temp = TempFolder();
    const std::wstring mark = FreshRogueMark();

    // A downloaded folder: the program, its guide, and a library the shell
    // will ask for by name (it marks its loading).
    const std::wstring folder = temp + L"veilkeeper-downloads";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (const wchar_t* file : {L"Veilkeeper.exe", L"Veilkeeper.html"}) {
        ASSERT_TRUE(::CopyFileW((test::ProgramFolder() + L"\\" + file).c_str(), (folder + L"\\" + file).c_str(), FALSE));
    }
    ASSERT_TRUE(PlantRogueLibrary(folder, L"veilkeeper_shellext.dll"));
    ShellHandlerNamedByFile handler(L"veilkeeper_shellext.dll");

    test::ChildProcess veilkeeper(folder + L"\\Veilkeeper.exe", L"");
    HWND main = test::FirstDialogOf(veilkeeper);
    ASSERT_TRUE(test::IsMainWindow(main));
    // What F1 asks for; sent, so the shell has done its work when it returns.
    DWORD_PTR result = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(main, WM_COMMAND, test::kHelpCommand, 0, SMTO_ABORTIFHUNG, 20000, &result));
    EXPECT_EQ(::GetFileAttributesW(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "the planted library was loaded";

    ::PostMessageW(main, WM_COMMAND, test::kExitCommand, 0);
    EXPECT_TRUE(veilkeeper.WaitForExit(10s));
    ::DeleteFileW(mark.c_str());
}

// Messages any program of the desktop can send or post to the main window,
// carrying what only the system or the window's own controls would: each is
// ignored, and Veilkeeper goes on with its window. (Wine refuses to pass a
// WM_NOTIFY between processes, where Windows hands the raw pointer over; the
// in-process tests send one from another thread.)
TEST_F(Faults, MessagesForgedByAnotherProgramLeaveItRunning) {
    NMHDR notHers{nullptr, static_cast<UINT_PTR>(test::kHiddenListId), static_cast<UINT>(NM_DBLCLK)};
    struct Forged {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool post;
    };
    const Forged forged[] = {
        {"a list notification at an address of nothing", WM_NOTIFY, test::kHiddenListId, 0x10, false},
        {"a list notification pointing into this process", WM_NOTIFY, test::kHiddenListId,
         reinterpret_cast<LPARAM>(&notHers), false},
        {"a posted list notification at an address of nothing", WM_NOTIFY, test::kHiddenListId, 0x10, true},
        {"a set-up message with a made-up object", WM_INITDIALOG, 0, 0x10, false},
        {"a posted set-up message", WM_INITDIALOG, 0, 0x10, true},
        {"a destruction that is not happening", WM_NCDESTROY, 0, 0, false},
        {"a posted destruction", WM_NCDESTROY, 0, 0, true},
    };
    for (const Forged& f : forged) {
        SCOPED_TRACE(f.what);
        if (f.post) {
            ::PostMessageW(main, f.message, f.wParam, f.lParam);
        } else {
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(main, f.message, f.wParam, f.lParam, SMTO_ABORTIFHUNG, 5000, &result);
        }
        ASSERT_TRUE(test::Answers(main, 5000));
        ASSERT_TRUE(veilkeeper->Running());
    }

    // Still whole: the hide-key hides, the list shows the row.
    test::TargetProgram target = test::StartTarget(L"目标", 20, 20);
    HideWithKeyOver(target.window);
    EXPECT_TRUE(PollUntil([&] { return list->Count() == 1; }));
    EXPECT_TRUE(PollUntil([&] { return !::IsWindowVisible(target.window); }));  // hidden asynchronously
}

}  // namespace
