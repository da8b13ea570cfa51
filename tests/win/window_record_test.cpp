// The record of hidden windows in the real (Wine) registry, beside the
// settings it must leave alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "registry_window_record.h"
#include "unique_handle.h"
#include "user_settings.h"

namespace {

hider::RecordEntry Entry(std::uint32_t order, std::u16string title) {
    return {order, {0x10000u + order, 1234, 133'000'000'000'000'000ULL, 5678, u"Frame"}, std::move(title)};
}

class WindowRecord : public ::testing::Test {
protected:
    void SetUp() override { test::ForgetSettings(); }
    void TearDown() override { test::ForgetSettings(); }
    hider::RegistryWindowRecord record;
};

TEST_F(WindowRecord, EntriesComeBackAsWrittenAndGoWithTheirRows) {
    test::StoreDword(L"InvisibleOnDrop", 0);
    EXPECT_TRUE(record.Load().empty());
    EXPECT_TRUE(test::HiddenWindowsRecord().empty()) << "reading makes no key";

    record.Add(Entry(1, u"甲"));
    record.Add(Entry(2, u"Emoji \U0001F648"));
    record.Add(Entry(3, u""));
    record.Remove(1);
    const auto entries = record.Load();
    ASSERT_EQ(entries.size(), 2u);
    for (const auto& entry : entries) {
        const hider::RecordEntry written = Entry(entry.order, entry.order == 2 ? u"Emoji \U0001F648" : u"");
        EXPECT_EQ(entry.window, written.window);
        EXPECT_EQ(entry.title, written.title);
    }

    record.RemoveIfEmpty();
    EXPECT_EQ(test::HiddenWindowsRecord().size(), 2u) << "a record with entries stays";
    record.Remove(2);
    record.Remove(3);
    record.RemoveIfEmpty();
    handles::unique_hkey key;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, hider::kHiddenWindowsKey, 0, KEY_READ, key.put()), ERROR_SUCCESS);
    key.release();
    EXPECT_EQ(test::StoredDword(L"InvisibleOnDrop"), 0u) << "the settings stay as they were";
}

TEST_F(WindowRecord, AnEntryIsWrittenAfterSomeoneElseDeletedTheKeyItHoldsOpen) {
    record.Add(Entry(1, u"before"));
    test::ForgetSettings();  // the whole settings key, from outside
    record.Add(Entry(2, u"after"));
    const auto entries = test::HiddenWindowsRecord();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, L"00000002");
}

TEST_F(WindowRecord, ValuesThatAreNoEntryAreRemovedOnLoad) {
    record.Add(Entry(5, u"good"));
    test::StoreHiddenWindowsEntry(L"00000006", L"not an entry");
    test::StoreHiddenWindowsEntry(L"someone else's", L"1 10000 1 1 1 0 t");
    const auto entries = record.Load();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].title, u"good");
    ASSERT_EQ(test::HiddenWindowsRecord().size(), 1u);
    EXPECT_EQ(test::HiddenWindowsRecord()[0].first, L"00000005");
}

}  // namespace
