#include "relisting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using hider::RecordEntry;
using hider::WindowIdentity;
using hider::WindowNow;

WindowIdentity Window(std::uint64_t handle) {
    return {handle, 100, 5000, 200, u"Frame"};
}

TEST(Relisting, OnlyWindowsStillHiddenUnderTheSameHandleComeBackInTheirOldOrder) {
    struct Case {
        const char* what;
        std::optional<WindowNow> now;
        bool listed;
    };
    const auto other = [](void (*change)(WindowIdentity&)) {
        WindowIdentity w = Window(0);
        change(w);
        return w;
    };
    const Case cases[] = {
        {"still hidden", WindowNow{Window(0), false}, true},
        {"shown meanwhile", WindowNow{Window(0), true}, false},
        {"closed meanwhile", std::nullopt, false},
        {"the handle is another process's window now",
         WindowNow{other([](WindowIdentity& w) { w.processId = 300; }), false}, false},
        {"the process id belongs to a later process",
         WindowNow{other([](WindowIdentity& w) { w.processStart = 6000; }), false}, false},
        {"another thread's window", WindowNow{other([](WindowIdentity& w) { w.threadId = 201; }), false}, false},
        {"another class", WindowNow{other([](WindowIdentity& w) { w.className = u"Edit"; }), false}, false},
    };
    // Recorded out of order on purpose: the record does not promise an order.
    std::vector<RecordEntry> recorded;
    std::map<std::uint64_t, std::optional<WindowNow>> system;
    std::uint32_t order = 100;
    for (const Case& c : cases) {
        const std::uint64_t handle = 0x1000 + order;
        recorded.insert(recorded.begin(), RecordEntry{order, Window(handle), {}});
        std::optional<WindowNow> now = c.now;
        if (now) {
            now->identity.handle = handle;
        }
        system[handle] = now;
        --order;
    }
    const hider::Relisting result =
        hider::DecideRelisting(recorded, [&](std::uint64_t handle) { return system.at(handle); });

    std::vector<std::uint32_t> listed;
    for (const RecordEntry& entry : result.rows) {
        listed.push_back(entry.order);
    }
    std::vector<std::uint32_t> expectedListed;
    std::vector<std::uint32_t> expectedDropped;
    order = 100;
    for (const Case& c : cases) {
        (c.listed ? expectedListed : expectedDropped).push_back(order--);
    }
    std::sort(expectedListed.begin(), expectedListed.end());
    std::sort(expectedDropped.begin(), expectedDropped.end());
    EXPECT_EQ(listed, expectedListed);
    EXPECT_EQ(result.dropped, expectedDropped);
}

TEST(Relisting, SeveralStillHiddenWindowsKeepTheirOrderOldestFirstEachOnce) {
    // Window 1 twice (an earlier version of this program listed it again):
    // one row, the newer entry's.
    std::vector<RecordEntry> recorded = {
        {30, Window(3), {}}, {10, Window(1), {}}, {20, Window(2), {}}, {40, Window(1), {}}};
    const hider::Relisting result = hider::DecideRelisting(recorded, [](std::uint64_t handle) {
        return std::optional<WindowNow>(WindowNow{Window(handle), false});
    });
    std::vector<std::uint32_t> listed;
    for (const RecordEntry& entry : result.rows) {
        listed.push_back(entry.order);
    }
    EXPECT_EQ(listed, (std::vector<std::uint32_t>{20, 30, 40}));
    EXPECT_EQ(result.dropped, std::vector<std::uint32_t>{10});
    EXPECT_TRUE(hider::DecideRelisting({}, [](std::uint64_t) { return std::optional<WindowNow>(); }).rows.empty());
}

TEST(Relisting, OwnedWindowsStayWithARowWhileStillHiddenAndComeBackWhenItsRowIsDropped) {
    // Row 1 keeps its owner hidden; the owner of row 2 was shown by its
    // program before Veilkeeper ended, and its dialog stayed hidden.
    const RecordEntry kept{1, Window(1), {Window(2), Window(3), Window(4), Window(5)}, 4};
    const RecordEntry shownMeanwhile{2, Window(6), {Window(7), Window(8)}};
    const hider::Relisting result = hider::DecideRelisting({kept, shownMeanwhile}, [](std::uint64_t handle) {
        std::optional<WindowNow> now;
        if (handle == 3) {
            return now;  // closed meanwhile
        }
        // 4 and 8 shown again by their program: theirs now; 6 too.
        now = WindowNow{Window(handle), handle == 4 || handle == 6 || handle == 8};
        if (handle == 2) {
            now->identity.threadId += 1;  // the handle is another window's now
        }
        return now;
    });
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0].owned, std::vector<WindowIdentity>{Window(5)});
    EXPECT_EQ(result.rows[0].active, 1u) << "the active window follows its place";
    EXPECT_EQ(result.dropped, std::vector<std::uint32_t>{2});
    EXPECT_EQ(result.giveBack, std::vector<WindowIdentity>{Window(7)}) << "only what is still hidden";
}

// Caught by the record fuzzer's check that a window is listed once.
TEST(Relisting, EachWindowIsInOneRowOnly) {
    struct Case {
        const char* what;
        std::vector<RecordEntry> recorded;
        std::map<std::uint32_t, std::vector<WindowIdentity>> owned;  // by row's order
    };
    const Case cases[] = {
        {"a dialog its program showed again, then hidden on its own",
         {{1, Window(1), {Window(2), Window(3)}}, {2, Window(2), {}}},
         {{1, {Window(3)}}, {2, {}}}},
        {"the same dialog hidden with two owners: the newer keeps it",
         {{1, Window(1), {Window(3)}}, {2, Window(2), {Window(3)}}},
         {{1, {}}, {2, {Window(3)}}}},
        {"an entry naming its own window and a dialog twice",
         {{1, Window(1), {Window(1), Window(2), Window(2)}}},
         {{1, {Window(2)}}}},
    };
    for (const Case& c : cases) {
        const hider::Relisting result = hider::DecideRelisting(c.recorded, [](std::uint64_t handle) {
            return std::optional<WindowNow>(WindowNow{Window(handle), false});
        });
        std::map<std::uint32_t, std::vector<WindowIdentity>> owned;
        for (const RecordEntry& row : result.rows) {
            owned[row.order] = row.owned;
        }
        EXPECT_EQ(owned, c.owned) << c.what;
    }
}

}  // namespace
