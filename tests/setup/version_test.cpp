// The program's version resource: 1.0.0.1, Chinese (PRC), from the one
// version set in the build.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "child_process.h"
#include "version.h"

namespace {

TEST(VersionResource, ReadsTheProjectVersionInChinesePrc) {
    const std::wstring exe = test::ProgramFolder() + L"\\Veilkeeper.exe";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const DWORD ms = MAKELONG(VEILKEEPER_VERSION_MINOR, VEILKEEPER_VERSION_MAJOR);
    const DWORD ls = MAKELONG(VEILKEEPER_VERSION_TWEAK, VEILKEEPER_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, ms);
    EXPECT_EQ(fixed->dwFileVersionLS, ls);
    EXPECT_EQ(fixed->dwProductVersionMS, ms);
    EXPECT_EQ(fixed->dwProductVersionLS, ls);
    EXPECT_EQ(std::string(VEILKEEPER_VERSION_TEXT), "1.0.0.1");

    WORD* translation = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                 &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0804) << "Chinese (PRC)";
    EXPECT_EQ(translation[1], 1200) << "Unicode";

    wchar_t* text = nullptr;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\080404b0\\FileVersion",
                                 reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ(text, L"1.0.0.1");
}

}  // namespace
