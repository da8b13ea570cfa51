// Whatever ends Veilkeeper between two calls to its record, the next start
// lists every window it left hidden, once, and nothing else. The program is
// cut at each of its record calls in turn, through a day of a start that
// lists again, hides, a restore and an Exit; then a new start runs on what
// the record and the windows were left as. The window system and the record
// are fakes that keep their state across the two runs, as the real ones do.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <set>
#include <string>
#include <vector>

#include "fake_window_record.h"
#include "fake_window_services.h"
#include "framework.h"
#include "hidden_windows.h"
#include "unique_handle.h"

namespace {

using test::Target;

struct Cut {};  // the program ends here

// Passes each call on to the record that outlives the program, until the
// one it is cut at, which never reaches it.
class CuttingRecord final : public hider::WindowRecord {
public:
    CuttingRecord(test::FakeWindowRecord& kept, int cutAt) : m_kept(kept), m_cutAt(cutAt) {}

    hider::RecordContents Load() override {
        Step();
        return m_kept.Load();
    }
    bool Add(const hider::RecordEntry& entry) override {
        Step();
        Touch(entry.order);
        return m_kept.Add(entry);
    }
    void Remove(std::uint32_t order) override {
        Step();
        Touch(order);
        m_kept.Remove(order);
    }
    void RemoveIfEmpty() override {
        Step();
        m_kept.RemoveIfEmpty();
    }

    int Calls() const { return m_calls; }
    // Orders of values that are no entry of ours, written or removed.
    std::vector<std::uint32_t> m_foreignTouched;

private:
    void Step() {
        if (++m_calls == m_cutAt) {
            throw Cut{};
        }
    }
    void Touch(std::uint32_t order) {
        for (std::uint32_t foreign : m_kept.m_takenOrders) {
            if (foreign == order) {
                m_foreignTouched.push_back(order);
            }
        }
    }

    test::FakeWindowRecord& m_kept;
    int m_cutAt;
    int m_calls = 0;
};

using unique_hwnd = handles::unique_any<handles::null_handle_traits<HWND, &::DestroyWindow>>;

// One run of the program: the hidden windows on a list of their own.
class ProgramRun {
public:
    ProgramRun(platform::WindowServices& services, hider::WindowRecord& record) : m_hidden(services, record) {
        m_owner.reset(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                                        nullptr));
        m_list.m_hWnd = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 300, 300, m_owner.get(),
                                          nullptr, nullptr, nullptr);
        m_list.InsertColumn(0, L"title", LVCFMT_LEFT, 200);
        m_hidden.Attach(m_owner.get(), m_list);
    }

    hider::HiddenWindows& Hidden() { return m_hidden; }
    std::vector<std::wstring> Titles() {
        std::vector<std::wstring> titles;
        for (int row = 0; row < m_list.GetItemCount(); ++row) {
            wchar_t text[64] = {};
            ListView_GetItemText(m_list.m_hWnd, row, 0, text, 64);
            titles.emplace_back(text);
        }
        return titles;
    }
    int RowOf(const std::wstring& title) {
        const auto titles = Titles();
        for (std::size_t row = 0; row < titles.size(); ++row) {
            if (titles[row] == title) {
                return static_cast<int>(row);
            }
        }
        return -1;
    }

private:
    // Destroyed before the hidden windows, as the main window goes before
    // its dialog object.
    hider::HiddenWindows m_hidden;
    CListCtrl m_list;
    unique_hwnd m_owner;
};

std::wstring TitleOf(int n) {
    return L"w" + std::to_wstring(n);
}

// The windows of the day: 1 hidden and recorded by an earlier run, 2 recorded
// but shown since, 6 with a dialog 7 it owns, and 8.
constexpr int kWindows[] = {1, 2, 6, 7, 8};

void SetUpTheWorld(test::FakeWindowServices& services, test::FakeWindowRecord& record) {
    for (int n : kWindows) {
        test::FakeWindowServices::Target target{TitleOf(n), nullptr, nullptr};
        if (n == 6) {
            target.owned = {Target(7)};
        }
        services.AddTarget(Target(n), target);
    }
    for (int n : {1, 2}) {
        const auto facts = services.DescribeWindow(Target(n));
        record.Add({static_cast<std::uint32_t>(2 + n),
                    {reinterpret_cast<UINT_PTR>(Target(n)), facts->processId, facts->processStart, facts->threadId,
                     u"FakeWindow"},
                    {}});
    }
    services.HideTarget(Target(1));
    // Another program's values, one among ours and one near the top.
    record.m_takenOrders = {5, 0xFFFFFFF0};
}

void Hide(ProgramRun& run, test::FakeWindowServices& services, int n) {
    run.Hidden().Hide(Target(n), *services.DescribeWindow(Target(n)));
    run.Hidden().CatchUp();  // what its timer would do a moment later
}

// A start that lists window 1 again and drops 2's entry, two hides, a
// restore and an Exit.
void TheDay(test::FakeWindowServices& services, hider::WindowRecord& record) {
    ProgramRun run(services, record);
    Hide(run, services, 6);
    Hide(run, services, 8);
    run.Hidden().Restore(run.RowOf(TitleOf(6)), true);
    run.Hidden().RestoreAll();
}

TEST(RecordCut, ANewStartAfterACutAtAnyRecordCallListsEachHiddenWindowOnceAndNothingElse) {
    int calls = 0;
    {
        test::FakeWindowServices services;
        test::FakeWindowRecord kept;
        SetUpTheWorld(services, kept);
        CuttingRecord record(kept, 0);
        TheDay(services, record);
        calls = record.Calls();
        for (int n : kWindows) {
            EXPECT_TRUE(services.IsShown(Target(n))) << "a whole day ends with every window back: " << n;
        }
    }
    ASSERT_GE(calls, 8) << "the day makes the calls it is cut at";

    for (int cutAt = 1; cutAt <= calls; ++cutAt) {
        SCOPED_TRACE("cut at record call " + std::to_string(cutAt));
        test::FakeWindowServices services;
        test::FakeWindowRecord kept;
        SetUpTheWorld(services, kept);
        CuttingRecord cutting(kept, cutAt);
        EXPECT_THROW(TheDay(services, cutting), Cut);
        std::set<int> hiddenThen;
        for (int n : kWindows) {
            if (!services.IsShown(Target(n))) {
                hiddenThen.insert(n);
            }
        }

        CuttingRecord next(kept, 0);
        ProgramRun start(services, next);
        std::multiset<std::wstring> listed;
        for (const std::wstring& title : start.Titles()) {
            listed.insert(title);
        }
        for (int n : kWindows) {
            // 7 goes and comes with 6's row.
            const bool hidden = hiddenThen.count(n) != 0;
            const bool rowExpected = hidden && n != 7;
            EXPECT_EQ(listed.count(TitleOf(n)), rowExpected ? 1u : 0u) << "window " << n;
        }
        if (hiddenThen.count(7) != 0) {
            EXPECT_EQ(hiddenThen.count(6), 1u) << "a dialog stays hidden only with its owner";
        }

        start.Hidden().RestoreAll();
        for (int n : kWindows) {
            EXPECT_TRUE(services.IsShown(Target(n))) << "given back at the Exit after: " << n;
        }
        EXPECT_TRUE(kept.m_entries.empty()) << "no entry outlives its row";
        EXPECT_TRUE(cutting.m_foreignTouched.empty());
        EXPECT_TRUE(next.m_foreignTouched.empty());
        EXPECT_EQ(kept.m_takenOrders, (std::vector<std::uint32_t>{5, 0xFFFFFFF0}));
    }
}

}  // namespace
