// The instance count of Onecopy.dll across real processes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "system_directory.h"

namespace {

using namespace std::chrono_literals;

class InstanceCount : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::InstallInstanceLibrary(L"Onecopy.dll")); }

    static std::unique_ptr<test::ChildProcess> StartHolder(const std::wstring& startEvent = L"") {
        return std::make_unique<test::ChildProcess>(test::ProgramFolder() + L"\\onecopy_holder.exe", startEvent,
                                                    true);
    }

    static std::string CountOf(test::ChildProcess& holder) {
        return holder.ReadLine(20s).value_or("no answer");
    }
};

TEST_F(InstanceCount, FollowsLiveHoldersAndForgetsKilledOnes) {
    auto first = StartHolder();
    ASSERT_TRUE(first->Started());
    EXPECT_EQ(CountOf(*first), "1");

    auto second = StartHolder();
    EXPECT_EQ(CountOf(*second), "2");
    second->CloseInput();  // ends normally: unloads the library
    ASSERT_TRUE(second->WaitForExit(10s));

    auto third = StartHolder();
    EXPECT_EQ(CountOf(*third), "2") << "the first holder still runs";
    third->CloseInput();
    ASSERT_TRUE(third->WaitForExit(10s));

    first->Kill();  // TerminateProcess: no chance to unload anything
    auto afterKill = StartHolder();
    EXPECT_EQ(CountOf(*afterKill), "1");
}

TEST_F(InstanceCount, OfHoldersStartedAtOnceExactlyOneIsFirst) {
    const wchar_t* const startName = L"Local\\Veilkeeper.Test.StartHolders";
    HANDLE start = ::CreateEventW(nullptr, TRUE, FALSE, startName);
    ASSERT_NE(start, nullptr);

    std::vector<std::unique_ptr<test::ChildProcess>> holders;
    for (int i = 0; i < 8; ++i) {
        holders.push_back(StartHolder(startName));
        ASSERT_TRUE(holders.back()->Started());
    }
    for (auto& holder : holders) {
        ASSERT_EQ(holder->ReadLine(20s).value_or("no answer"), "ready");
    }
    ::SetEvent(start);  // all of them ask for the count now

    std::vector<std::string> counts;
    for (auto& holder : holders) {
        counts.push_back(CountOf(*holder));
    }
    std::sort(counts.begin(), counts.end());
    EXPECT_EQ(counts, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8"}));
    ::CloseHandle(start);
}

}  // namespace
