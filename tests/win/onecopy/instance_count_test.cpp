// The instance count of Onecopy.dll across real processes.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "system_directory.h"
#include "unique_handle.h"
#include "user_objects.h"

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

    // Each counts alone: exactly one hears it is first, and no count above 2
    // is heard twice. A start that waited its limit for the others' counts
    // (a slow machine: the emulated one takes over a second for eight) hears
    // 2, "another may run", as it should: it is not first either.
    std::vector<std::string> counts;
    for (auto& holder : holders) {
        counts.push_back(CountOf(*holder));
    }
    std::sort(counts.begin(), counts.end());
    SCOPED_TRACE(::testing::PrintToString(counts));
    EXPECT_EQ(std::count(counts.begin(), counts.end(), "1"), 1);
    for (size_t i = 0; i < counts.size(); ++i) {
        EXPECT_TRUE(counts[i].size() == 1 && counts[i] >= "1" && counts[i] <= "8") << counts[i];
        if (i > 0 && counts[i] > "2") {
            EXPECT_NE(counts[i], counts[i - 1]) << "two counted at once";
        }
    }
    ::CloseHandle(start);
}

// Mutexes made and owned by this process under given names, as a squatter
// in the same session would hold them: while they are held, this test's
// thread owns them.
class Squatter {
public:
    // `sddl` empty: the system's default security.
    Squatter(const std::vector<std::wstring>& names, const std::wstring& sddl) {
        handles::unique_hlocal descriptor;
        if (!sddl.empty()) {
            ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, descriptor.put(),
                                                                   nullptr);
        }
        SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
        for (const std::wstring& name : names) {
            handles::unique_handle mutex(::CreateMutexW(&attributes, TRUE, name.c_str()));
            if (mutex && ::GetLastError() != ERROR_ALREADY_EXISTS) {
                m_held.push_back(std::move(mutex));
            }
        }
    }
    ~Squatter() {
        for (handles::unique_handle& mutex : m_held) {
            ::ReleaseMutex(mutex.get());
        }
    }
    size_t Held() const { return m_held.size(); }

private:
    std::vector<handles::unique_handle> m_held;
};

std::vector<std::wstring> FixedNames() {
    std::vector<std::wstring> names{L"Local\\Veilkeeper.Onecopy.Lock"};
    for (int index = 0; index < 64; ++index) {
        names.push_back(L"Local\\Veilkeeper.Onecopy.Place." + std::to_wstring(index));
    }
    return names;
}

// The first lock names and half of the places, as another account could
// make them first: they carry our SID, but they are not ours.
std::vector<std::wstring> OurNames(const std::wstring& sid) {
    std::vector<std::wstring> names{onecopy::LockName(sid, 0), onecopy::LockName(sid, 1)};
    for (int index = 0; index < onecopy::kPlaces / 2; ++index) {
        names.push_back(onecopy::PlaceName(sid, index));
    }
    return names;
}

TEST_F(InstanceCount, NamesHeldByAnotherNeitherBlockNorDoubleAStart) {
    onecopy::UserObjects objects;
    ASSERT_TRUE(objects.Ready());
    struct Case {
        const char* what;
        std::vector<std::wstring> names;
        std::wstring sddl;
    };
    // The squatters' objects belong to the administrators, who are not this
    // user: the nearest a single-user prefix comes to another account.
    const Case cases[] = {
        {"the fixed names of old, open to all", FixedNames(), L""},
        {"its own names, made first by another owner, open to all", OurNames(objects.Sid()), L"O:BAD:(A;;GA;;;WD)"},
        {"its own names, made first by another owner, open to none", OurNames(objects.Sid()), L"O:BAD:P"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Squatter squatter(c.names, c.sddl);
        ASSERT_EQ(squatter.Held(), c.names.size());

        auto first = StartHolder();
        EXPECT_EQ(CountOf(*first), "1") << "the squatter blocked the start";
        auto second = StartHolder();
        EXPECT_EQ(CountOf(*second), "2") << "the squatter made two instances run";
        first->Kill();
        auto third = StartHolder();
        EXPECT_EQ(CountOf(*third), "2") << "the second holder still runs";
    }
}

// A lock of ours held by a start that stopped: the next start waits a moment,
// then refuses rather than counting without the lock.
TEST_F(InstanceCount, AStartThatCannotHaveTheLockSoonRefusesWithoutCounting) {
    onecopy::UserObjects objects;
    ASSERT_TRUE(objects.Ready());
    handles::unique_handle lock(::CreateMutexW(objects.Attributes(), TRUE, onecopy::LockName(objects.Sid(), 0).c_str()));
    const DWORD made = ::GetLastError();
    ASSERT_TRUE(lock);
    ASSERT_NE(made, static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    const auto start = std::chrono::steady_clock::now();
    auto holder = StartHolder();
    EXPECT_EQ(CountOf(*holder), "2");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "waited more than a moment";
    ::ReleaseMutex(lock.get());

    auto next = StartHolder();
    EXPECT_EQ(CountOf(*next), "1") << "the lock, once free, serves again";
}

}  // namespace
