#include "record_contents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record_orders.h"

namespace {

using hider::RecordEntry;

struct Value {
    std::u16string name;
    std::optional<std::u16string> text;
};

hider::RecordContents Read(const std::vector<Value>& values) {
    hider::RecordContents contents;
    for (const Value& v : values) {
        hider::AddRecordValue(contents, v.name,
                              v.text ? std::optional<std::u16string_view>(*v.text) : std::nullopt);
    }
    return contents;
}

std::u16string Lower(std::u16string text) {
    for (char16_t& c : text) {
        c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
    }
    return text;
}

TEST(RecordContents, EachValueIsAnEntryAnOrderHeldBySomethingElseOrNothingOfOurs) {
    const RecordEntry ours{0x1B, {0x1A2B4, 4321, 1, 8765, u"Notepad"}, {}};
    const std::u16string text = hider::EncodeEntry(ours);
    const hider::RecordContents contents = Read({
        {u"0000001B", text},
        {u"0000001c", text},                  // ours, its name typed in lower case
        {u"0000000a", u"another program's"},  // not ours, but its name is order 10's
        {u"0000000B", std::nullopt},          // no text, or not read whole
        {u"Notes", text},                     // no order's name
    });
    ASSERT_EQ(contents.entries.size(), 2u);
    EXPECT_EQ(contents.entries[0], ours);
    EXPECT_EQ(contents.entries[1].order, 0x1Cu);
    EXPECT_EQ(contents.takenOrders, (std::vector<std::uint32_t>{0x0A, 0x0B}));
}

// A hide once wrote its entry over another program's "0000000a": the name it
// made, "0000000A", is the same name to the registry.
TEST(RecordContents, NoNewEntryIsNamedAsAValueOfAnyCase) {
    std::vector<Value> values;
    for (std::uint32_t order = 1; order <= 9; ++order) {
        values.push_back({hider::EntryName(order), u"2 1 1 1 1 1 0 "});
    }
    values.push_back({u"0000000a", u"typed by hand"});
    for (bool atTheTop : {false, true}) {
        if (atTheTop) {
            values.push_back({u"ffffffff", u"typed by hand"});
        }
        const hider::RecordContents contents = Read(values);
        hider::RecordOrders orders;
        for (const RecordEntry& entry : contents.entries) {
            orders.Take(entry.order);
        }
        for (std::uint32_t order : contents.takenOrders) {
            orders.Take(order);
        }
        const auto next = orders.Next();
        ASSERT_TRUE(next);
        EXPECT_EQ(*next, 11u) << (atTheTop ? "once the largest is held, the first free order" : "after the newest");
        for (const Value& v : values) {
            EXPECT_NE(Lower(hider::EntryName(*next)), Lower(v.name));
        }
    }
}

}  // namespace
