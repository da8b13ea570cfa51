#include "record_entry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using hider::RecordEntry;
using hider::WindowIdentity;

WindowIdentity Window() {
    return {0x1A2B4, 4321, 133'456'789'012'345'678ULL, 8765, u"Notepad"};
}

TEST(RecordEntry, EveryEntryReadsBackAsItWasWritten) {
    const RecordEntry entries[] = {
        {7, Window(), u"无标题 - 记事本"},
        {0xFFFFFFFF, {0xFFFFFFFFFFFFFFFFULL, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFFULL, 0xFFFFFFFF, u"x"}, u"largest values"},
        {1, {1, 0, 0, 0, u""}, u""},  // no class, no title, start unreadable
        {2, {2, 3, 4, 5, u"Class with spaces 1 2"}, u"  title with leading spaces and 1 2 3 digits "},
        {3, {3, 3, 4, 5, u"Ünïcode 类"}, u"Emoji \U0001F648 and more"},
        {4, Window(), std::u16string(510, u'长')},
        {5, {5, 1, 1, 1, std::u16string(256, u'c')}, u"t"},
    };
    for (const RecordEntry& entry : entries) {
        const auto read = hider::DecodeEntry(hider::EntryName(entry.order), hider::EncodeEntry(entry));
        ASSERT_TRUE(read) << entry.order;
        EXPECT_EQ(read->order, entry.order);
        EXPECT_EQ(read->window, entry.window) << entry.order;
        EXPECT_EQ(read->title, entry.title) << entry.order;
    }
}

TEST(RecordEntry, NamesSortAsOrders) {
    EXPECT_EQ(hider::EntryName(0), u"00000000");
    EXPECT_EQ(hider::EntryName(0x1A), u"0000001A");
    EXPECT_LT(hider::EntryName(9), hider::EntryName(10));
    EXPECT_LT(hider::EntryName(0xFF), hider::EntryName(0x100));
}

TEST(RecordEntry, AnythingElseIsNoEntry) {
    const std::u16string good = hider::EncodeEntry({7, Window(), u"title"});
    ASSERT_TRUE(hider::DecodeEntry(u"00000007", good));
    struct Case {
        const char* what;
        std::u16string name;
        std::u16string text;
    };
    const Case cases[] = {
        {"a name of seven digits", u"0000007", good},
        {"a name of nine digits", u"000000007", good},
        {"a name with lower-case digits", u"0000000a", good},
        {"a name with a sign", u"+0000007", good},
        {"empty text", u"00000007", u""},
        {"another format", u"00000007", u"2" + good.substr(1)},
        {"fields missing", u"00000007", u"1 1A2B4 4321"},
        {"handle zero", u"00000007", u"1 0 4321 1 8765 0 title"},
        {"lower-case hex handle", u"00000007", u"1 1a2b4 4321 1 8765 0 title"},
        {"a negative process", u"00000007", u"1 1A2B4 -4321 1 8765 0 title"},
        {"a process beyond 32 bits", u"00000007", u"1 1A2B4 4294967296 1 8765 0 title"},
        {"a start beyond 64 bits", u"00000007", u"1 1A2B4 4321 18446744073709551616 8765 0 title"},
        {"a thread beyond 32 bits", u"00000007", u"1 1A2B4 4321 1 99999999999 0 title"},
        {"a class longer than the text", u"00000007", u"1 1A2B4 4321 1 8765 50 short"},
        {"a class longer than Windows allows", u"00000007",
         u"1 1A2B4 4321 1 8765 257 " + std::u16string(257, u'c')},
        {"two spaces between fields", u"00000007", u"1  1A2B4 4321 1 8765 0 title"},
        {"a title longer than a row", u"00000007", u"1 1A2B4 4321 1 8765 0 " + std::u16string(511, u't')},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(hider::DecodeEntry(c.name, c.text)) << c.what;
    }
}

TEST(RecordEntry, AHandleStillNamesItsWindowOnlyWithTheSameProcessThreadAndClass) {
    struct Case {
        const char* what;
        void (*change)(WindowIdentity&);
        bool same;
    };
    const Case cases[] = {
        {"unchanged", [](WindowIdentity&) {}, true},
        {"another handle", [](WindowIdentity& w) { w.handle += 1; }, false},
        {"another process", [](WindowIdentity& w) { w.processId += 4; }, false},
        {"the process id reused by a later process", [](WindowIdentity& w) { w.processStart += 1; }, false},
        {"another thread", [](WindowIdentity& w) { w.threadId += 4; }, false},
        {"another class", [](WindowIdentity& w) { w.className = u"Edit"; }, false},
        {"the start unreadable now", [](WindowIdentity& w) { w.processStart = 0; }, true},
    };
    for (const Case& c : cases) {
        WindowIdentity now = Window();
        c.change(now);
        EXPECT_EQ(hider::IsSameWindow(Window(), now), c.same) << c.what;
    }
    WindowIdentity unreadableThen = Window();
    unreadableThen.processStart = 0;
    EXPECT_TRUE(hider::IsSameWindow(unreadableThen, Window())) << "the start unreadable when recorded";
}

}  // namespace
