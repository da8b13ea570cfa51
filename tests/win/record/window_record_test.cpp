// The record of hidden windows in the real (Wine) registry, beside the
// settings it must leave alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "registry_settings_store.h"
#include "registry_window_record.h"
#include "unique_handle.h"
#include "user_settings.h"
#include "wide_text.h"

namespace {

hider::RecordEntry Entry(std::uint32_t order, std::size_t owned = 0) {
    hider::RecordEntry entry{order, {0x10000u + order, 1234, 133'000'000'000'000'000ULL, 5678, u"Frame"}, {}};
    for (std::size_t n = 1; n <= owned; ++n) {
        entry.owned.push_back({0x20000u + n, 1234, 133'000'000'000'000'000ULL, 5678, u"#32770"});
    }
    return entry;
}

std::vector<std::uint32_t> OrdersOf(const hider::RecordContents& contents) {
    std::vector<std::uint32_t> orders;
    for (const auto& entry : contents.entries) {
        orders.push_back(entry.order);
    }
    return orders;
}

bool KeyExists(const std::wstring& path) {
    handles::unique_hkey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

class WindowRecord : public ::testing::Test {
protected:
    void SetUp() override { test::ForgetSettings(); }
    void TearDown() override { test::ForgetSettings(); }
    hider::RegistryWindowRecord record{settings::kSettingsKey, 1};
    const std::wstring key = test::HiddenWindowsKey(1);
};

TEST_F(WindowRecord, EntriesComeBackAsWrittenAndLeaveNoTraceOnceAllAreGone) {
    for (bool settingsStored : {true, false}) {
        SCOPED_TRACE(settingsStored ? "beside stored settings" : "no settings stored");
        if (settingsStored) {
            test::StoreDword(L"InvisibleOnDrop", 0);
        }
        EXPECT_TRUE(record.Load().entries.empty());
        EXPECT_EQ(test::SettingsKeyExists(), settingsStored) << "reading makes no key";

        ASSERT_TRUE(record.Add(Entry(1)));
        ASSERT_TRUE(record.Add(Entry(2, 3)));
        ASSERT_TRUE(record.Add(Entry(3)));
        record.Remove(1);
        const hider::RecordContents contents = record.Load();
        ASSERT_EQ(OrdersOf(contents), (std::vector<std::uint32_t>{2, 3}));
        EXPECT_EQ(contents.entries[0], Entry(2, 3));
        for (const auto& [name, text] : test::HiddenWindowsRecord(key)) {
            EXPECT_EQ(text.find(L"Frame"), text.rfind(L"Frame")) << "no title, nothing but what names the windows";
        }

        record.RemoveIfEmpty();
        EXPECT_EQ(test::HiddenWindowsRecord(key).size(), 2u) << "a record with entries stays";
        record.Remove(2);
        record.Remove(3);
        record.RemoveIfEmpty();
        EXPECT_FALSE(KeyExists(hider::RegistryWindowRecord::SessionKeyPath(settings::kSettingsKey, 1)));
        EXPECT_FALSE(KeyExists(std::wstring(settings::kSettingsKey) + L"\\Hidden"));
        EXPECT_EQ(test::SettingsKeyExists(), settingsStored) << "no key of ours is left where none was";
        if (settingsStored) {
            EXPECT_EQ(test::StoredDword(L"InvisibleOnDrop"), 0u) << "the settings stay as they were";
        }
        test::ForgetSettings();
    }
}

TEST_F(WindowRecord, AnEntryIsWrittenAfterSomeoneElseDeletedTheKeyItHoldsOpen) {
    ASSERT_TRUE(record.Add(Entry(1)));
    test::ForgetSettings();  // the whole settings key, from outside
    ASSERT_TRUE(record.Add(Entry(2)));
    const auto entries = test::HiddenWindowsRecord(key);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, L"00000002");
}

TEST_F(WindowRecord, AnEntryThatCannotBeWrittenIsSaidSo) {
    // A volatile parent takes no lasting subkey: the session's key cannot be
    // made. (Its own parent made first, so that only it is volatile.)
    test::StoreDword(L"InvisibleOnDrop", 1);
    handles::unique_hkey hidden;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(settings::kSettingsKey) + L"\\Hidden").c_str(), 0,
                                nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, hidden.put(), nullptr),
              ERROR_SUCCESS);
    EXPECT_FALSE(record.Add(Entry(1)));
    EXPECT_TRUE(record.Load().entries.empty());

    hidden.reset();
    ASSERT_EQ(::RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(settings::kSettingsKey) + L"\\Hidden").c_str()),
              ERROR_SUCCESS);
    EXPECT_TRUE(record.Add(Entry(1))) << "writes again once it can";
}

TEST_F(WindowRecord, ValuesThatAreNoEntryOfOursAreLeftAlone) {
    ASSERT_TRUE(record.Add(Entry(5)));
    const std::wstring hiddenKey = std::wstring(settings::kSettingsKey) + L"\\Hidden";
    struct Foreign {
        std::wstring name;
        std::wstring text;
        const std::wstring* where;
        bool takesAnOrder;
    };
    const Foreign foreign[] = {
        {L"00000006", L"not an entry", &key, true},
        {L"FFFFFFF0", L"9 written by a later version", &key, true},
        {L"someone else's", L"2 1 10000 1 1 1 0 ", &key, false},
        {L"00000007", L"1 10000 1 1 1 0 title of the earlier format", &hiddenKey, false},
        // The registry's names have no case: "0000000A" is this value's name.
        {L"0000000a", L"typed by hand", &key, true},
        {std::wstring(200, L'n'), L"a name longer than any of ours", &key, false},
    };
    for (const Foreign& f : foreign) {
        test::StoreHiddenWindowsEntry(f.name, f.text, *f.where);
    }
    // Ours, though its name was typed in lower case.
    test::StoreHiddenWindowsEntry(L"0000000c", hider::Wide(hider::EncodeEntry(Entry(12))), key);
    hider::RecordContents contents = record.Load();
    EXPECT_EQ(OrdersOf(contents), (std::vector<std::uint32_t>{5, 12}));
    std::sort(contents.takenOrders.begin(), contents.takenOrders.end());
    EXPECT_EQ(contents.takenOrders, (std::vector<std::uint32_t>{6, 10, 0xFFFFFFF0}));
    record.Remove(12);

    record.Remove(5);
    record.RemoveIfEmpty();
    for (const Foreign& f : foreign) {
        bool found = false;
        for (const auto& [name, text] : test::HiddenWindowsRecord(*f.where)) {
            found = found || (name == f.name && text == f.text);
        }
        EXPECT_TRUE(found) << "still there: " << std::string(f.name.begin(), f.name.end());
    }
}

TEST_F(WindowRecord, ReadingAKeyDeletedMeanwhileEnds) {
    // Every read of a deleted key fails alike: a loop that went on to the next
    // value on any error never ended. It runs on a thread of its own so that
    // such a loop fails the test rather than hanging it.
    ASSERT_TRUE(record.Add(Entry(1)));
    auto open = std::make_shared<handles::unique_hkey>();
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, open->put()), ERROR_SUCCESS);
    test::ForgetSettings();
    auto read = std::make_shared<std::promise<hider::RecordContents>>();
    std::future<hider::RecordContents> done = read->get_future();
    std::thread([open, read] { read->set_value(hider::RegistryWindowRecord::Read(open->get())); }).detach();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(30)), std::future_status::ready) << "reading never ended";
    EXPECT_TRUE(done.get().entries.empty());
    EXPECT_TRUE(record.Load().entries.empty());
    EXPECT_TRUE(record.Add(Entry(2))) << "the record is made again";
}

TEST_F(WindowRecord, EachLogonSessionKeepsItsOwnEntries) {
    hider::RegistryWindowRecord other{settings::kSettingsKey, 2};
    ASSERT_TRUE(record.Add(Entry(1)));
    ASSERT_TRUE(other.Add(Entry(1, 1)));
    ASSERT_TRUE(other.Add(Entry(2)));
    EXPECT_EQ(OrdersOf(record.Load()), std::vector<std::uint32_t>{1});
    EXPECT_EQ(record.Load().entries[0], Entry(1));
    EXPECT_EQ(OrdersOf(other.Load()), (std::vector<std::uint32_t>{1, 2}));

    record.Remove(1);
    record.RemoveIfEmpty();
    EXPECT_EQ(OrdersOf(other.Load()), (std::vector<std::uint32_t>{1, 2})) << "the other session's are untouched";
    EXPECT_EQ(other.Load().entries[0], Entry(1, 1));
}

}  // namespace
