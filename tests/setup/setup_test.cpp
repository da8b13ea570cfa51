// The setup program as a user runs it, silently, in a fresh prefix: what it
// installs, the program started from its Start-menu entry, and the uninstaller.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <string>

#include "child_process.h"
#include "poll.h"
#include "resource.h"
#include "system_directory.h"
#include "unique_handle.h"
#include "user_settings.h"
#include "version.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using test::PollUntil;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veilkeeper";

std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring UninstallValue(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return value;
}

// The target of a shell shortcut.
std::wstring ShortcutTarget(const std::wstring& link) {
    std::wstring target;
    if (FAILED(::CoInitialize(nullptr))) {
        return target;
    }
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
                SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
                target = path;
            }
            file->Release();
        }
        shellLink->Release();
    }
    ::CoUninitialize();
    return target;
}

// Whether any process of that file name runs.
bool ProcessRuns(const wchar_t* name) {
    HANDLE taken = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (taken == INVALID_HANDLE_VALUE) {
        return false;
    }
    handles::unique_handle snapshot(taken);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, name) == 0) {
            return true;
        }
    }
    return false;
}

int RunToEnd(const std::wstring& program, const std::wstring& arguments) {
    test::ChildProcess process(program, arguments);
    if (!process.Started() || !process.WaitForExit(120s)) {
        return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.Handle(), &code);
    return static_cast<int>(code);
}

TEST(Setup, InstallsRunsAndUninstallsLeavingTheUsersSettings) {
    const std::wstring setup = test::ProgramFolder() + L"\\..\\release\\" SETUP_NAME;
    ASSERT_TRUE(Exists(setup)) << "no setup program";
    test::InstallInstanceLibrary(L"");  // a machine without Veilkeeper

    // A folder asked for on the command line is not taken: only Program
    // Files keeps a standard user from replacing what an administrator runs.
    const std::wstring elsewhere = L"C:\\VeilkeeperElsewhere";
    ASSERT_EQ(RunToEnd(setup, L"/S /D=" + elsewhere), 0);
    EXPECT_FALSE(Exists(elsewhere));
    // The setup runs elevated: it never starts the program itself.
    EXPECT_FALSE(ProcessRuns(L"Veilkeeper.exe")) << "the setup started Veilkeeper";

    const std::wstring folder = KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Veilkeeper";
    for (const wchar_t* file : {L"Veilkeeper.exe", L"Veilkeeper.html", L"LICENSE.txt", L"uninstall.exe"}) {
        EXPECT_TRUE(Exists(folder + L"\\" + file)) << file;
    }
    EXPECT_TRUE(Exists(test::SystemDirectory() + L"\\Onecopy.dll"));
    EXPECT_EQ(UninstallValue(L"DisplayName"), L"Veilkeeper");
    EXPECT_EQ(UninstallValue(L"DisplayVersion"), L"" VEILKEEPER_VERSION_TEXT_W);
    EXPECT_NE(UninstallValue(L"UninstallString").find(L"uninstall.exe"), std::wstring::npos);

    // Started from the Start-menu entry, Veilkeeper shows its main window.
    const std::wstring link = KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Veilkeeper.lnk";
    ASSERT_TRUE(Exists(link));
    const std::wstring target = ShortcutTarget(link);
    EXPECT_EQ(::lstrcmpiW(target.c_str(), (folder + L"\\Veilkeeper.exe").c_str()), 0) << target;
    {
        test::ChildProcess veilkeeper(target, L"");
        HWND main = nullptr;
        ASSERT_TRUE(PollUntil([&] {
            main = test::VisibleWindowOf(veilkeeper.Id(), L"#32770");
            return main != nullptr && ::GetDlgItem(main, IDC_HIDDEN_LIST) != nullptr;
        }, 20s));
        test::StoreDword(L"InvisibleOnDrop", 0);  // a setting the user changed

        // While it runs the setup and the uninstaller refuse, and the uninstaller
        // removes nothing.
        EXPECT_EQ(RunToEnd(setup, L"/S"), 2) << "the setup ran over a running Veilkeeper";
        EXPECT_NE(RunToEnd(folder + L"\\uninstall.exe", L"/S _?=" + folder), 0);
        EXPECT_TRUE(Exists(folder + L"\\Veilkeeper.exe"));

        ::PostMessageW(main, WM_COMMAND, ID_EXIT, 0);
        ASSERT_TRUE(veilkeeper.WaitForExit(10s));
    }

    // The uninstaller hands over to a copy of itself and returns at once; the
    // copy removes the uninstall entry last.
    RunToEnd(folder + L"\\uninstall.exe", L"/S");
    EXPECT_TRUE(PollUntil([&] { return UninstallValue(L"DisplayName").empty(); }, 60s));
    for (const wchar_t* file : {L"Veilkeeper.exe", L"Veilkeeper.html", L"LICENSE.txt"}) {
        EXPECT_FALSE(Exists(folder + L"\\" + file)) << file;
    }
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(link));
    EXPECT_FALSE(Exists(test::SystemDirectory() + L"\\Onecopy.dll"));
    EXPECT_FALSE(Exists(folder + L"\\uninstall.exe"));
    EXPECT_EQ(test::StoredDword(L"InvisibleOnDrop"), 0u) << "the user's settings stay";
    test::ForgetSettings();
}

}  // namespace
