#include "record_entry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using hider::RecordEntry;
using hider::WindowIdentity;

WindowIdentity Window() {
    return {0x1A2B4, 4321, 133'456'789'012'345'678ULL, 8765, u"Notepad"};
}

std::vector<WindowIdentity> OwnedWindows(std::size_t count) {
    std::vector<WindowIdentity> owned;
    for (std::size_t n = 1; n <= count; ++n) {
        owned.push_back({0x2000 + n, 4321, 1, 8765, u"#32770 " + std::u16string(n % 3, u' ')});
    }
    return owned;
}

TEST(RecordEntry, EveryEntryReadsBackAsItWasWritten) {
    const RecordEntry entries[] = {
        {7, Window(), {}},
        {0xFFFFFFFF, {0xFFFFFFFFFFFFFFFFULL, 0xFFFFFFFF, 0xFFFFFFFFFFFFFFFFULL, 0xFFFFFFFF, u"x"}, {}},
        {1, {1, 0, 0, 0, u""}, {}},  // no class, start unreadable
        {2, {2, 3, 4, 5, u"Class with spaces 1 2 "}, {}},
        {3, {3, 3, 4, 5, u"Ünïcode 类"}, {{4, 3, 4, 5, u""}}},
        {5, {5, 1, 1, 1, std::u16string(256, u'c')}, {{6, 1, 1, 1, std::u16string(256, u'd')}}},
        {6, Window(), OwnedWindows(hider::kMaxOwnedWindows)},
        {8, Window(), OwnedWindows(3), 2},  // an owned window was active
        {9, Window(), OwnedWindows(hider::kMaxOwnedWindows), hider::kMaxOwnedWindows},
    };
    for (const RecordEntry& entry : entries) {
        const auto read = hider::DecodeEntry(hider::EntryName(entry.order), hider::EncodeEntry(entry));
        ASSERT_TRUE(read) << entry.order;
        EXPECT_EQ(*read, entry) << entry.order;
    }
}

TEST(RecordEntry, NamesSortAsOrders) {
    EXPECT_EQ(hider::EntryName(0), u"00000000");
    EXPECT_EQ(hider::EntryName(0x1A), u"0000001A");
    EXPECT_LT(hider::EntryName(9), hider::EntryName(10));
    EXPECT_LT(hider::EntryName(0xFF), hider::EntryName(0x100));
    EXPECT_EQ(hider::OrderOfName(u"FFFFFFFE"), 0xFFFFFFFEu);
    EXPECT_FALSE(hider::OrderOfName(u"Notes"));
}

// The registry takes "0000001a" and "0000001A" as one name; a value typed by
// hand may have any case.
TEST(RecordEntry, HexDigitsAreReadInEitherCase) {
    EXPECT_EQ(hider::OrderOfName(u"0000001a"), 0x1Au);
    EXPECT_EQ(hider::OrderOfName(u"fFfFfFfE"), 0xFFFFFFFEu);
    EXPECT_FALSE(hider::OrderOfName(u"0000001g"));

    const auto read = hider::DecodeEntry(u"0000001a", u"2 1 1a2B4 4321 133456789012345678 8765 7 Notepad");
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (RecordEntry{0x1A, Window(), {}}));
    EXPECT_FALSE(hider::DecodeEntry(u"0000001a", u"2 1 1A2B4 432a 1 8765 7 Notepad")) << "decimal fields stay decimal";
}

TEST(RecordEntry, AnythingElseIsNoEntry) {
    const std::u16string good = hider::EncodeEntry({7, Window(), OwnedWindows(1)});
    ASSERT_TRUE(hider::DecodeEntry(u"00000007", good));
    ASSERT_EQ(good.substr(0, 4), u"2 2 ");
    const std::u16string window = u"1A2B4 4321 1 8765 7 Notepad";
    struct Case {
        const char* what;
        std::u16string name;
        std::u16string text;
    };
    const Case cases[] = {
        {"a name of seven digits", u"0000007", good},
        {"a name of nine digits", u"000000007", good},
        {"a name with a sign", u"+0000007", good},
        {"empty text", u"00000007", u""},
        {"another format", u"00000007", u"4" + good.substr(1)},
        {"the active window's format without it", u"00000007", u"3" + good.substr(1)},
        {"an active window beyond the owned ones", u"00000007", u"3" + good.substr(1) + u" 2"},
        {"the row's own window named active: written as format 2", u"00000007", u"3" + good.substr(1) + u" 0"},
        {"an active window, then more", u"00000007", u"3" + good.substr(1) + u" 1 "},
        {"the earlier format, with its title", u"00000007", u"1 1A2B4 4321 1 8765 7 Notepad无标题"},
        {"no window", u"00000007", u"2 0 "},
        {"more windows than counted", u"00000007", u"2 1 " + window + u" " + window},
        {"fewer windows than counted", u"00000007", u"2 3 " + window + u" " + window},
        {"more windows than a row holds", u"00000007", u"2 66 " + window},
        {"fields missing", u"00000007", u"2 1 1A2B4 4321"},
        {"handle zero", u"00000007", u"2 1 0 4321 1 8765 0 "},
        {"a negative process", u"00000007", u"2 1 1A2B4 -4321 1 8765 0 "},
        {"a process beyond 32 bits", u"00000007", u"2 1 1A2B4 4294967296 1 8765 0 "},
        {"a start beyond 64 bits", u"00000007", u"2 1 1A2B4 4321 18446744073709551616 8765 0 "},
        {"a thread beyond 32 bits", u"00000007", u"2 1 1A2B4 4321 1 99999999999 0 "},
        {"a class longer than the text", u"00000007", u"2 1 1A2B4 4321 1 8765 50 short"},
        {"a class longer than Windows allows", u"00000007",
         u"2 1 1A2B4 4321 1 8765 257 " + std::u16string(257, u'c')},
        {"two spaces between fields", u"00000007", u"2 1  1A2B4 4321 1 8765 0 "},
        {"something after the last window", u"00000007", good + u"title"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(hider::DecodeEntry(c.name, c.text)) << c.what;
    }
}

TEST(RecordEntry, AHandleStillNamesItsWindowOnlyWithTheSameProcessThreadAndClass) {
    struct Case {
        const char* what;
        WindowIdentity then;
        void (*change)(WindowIdentity&);
        bool same;
    };
    WindowIdentity console = Window();
    console.className = hider::kConsoleClass;
    WindowIdentity unreadableThen = Window();
    unreadableThen.processStart = 0;
    const Case cases[] = {
        {"unchanged", Window(), [](WindowIdentity&) {}, true},
        {"another handle", Window(), [](WindowIdentity& w) { w.handle += 1; }, false},
        {"another process", Window(), [](WindowIdentity& w) { w.processId += 4; }, false},
        {"the process id reused by a later process", Window(), [](WindowIdentity& w) { w.processStart += 1; }, false},
        {"another thread", Window(), [](WindowIdentity& w) { w.threadId += 4; }, false},
        {"another class", Window(), [](WindowIdentity& w) { w.className = u"Edit"; }, false},
        {"the start unreadable now", Window(), [](WindowIdentity& w) { w.processStart = 0; }, true},
        {"the start unreadable when recorded", unreadableThen, [](WindowIdentity&) {}, true},
        {"a console whose first process ended", console,
         [](WindowIdentity& w) {
             w.processId += 4;
             w.processStart += 1;
             w.threadId += 4;
         },
         true},
        {"a console's handle, now another class's window", console,
         [](WindowIdentity& w) { w.className = u"Notepad"; }, false},
        {"another console window", console, [](WindowIdentity& w) { w.handle += 1; }, false},
    };
    for (const Case& c : cases) {
        WindowIdentity now = c.then.className == hider::kConsoleClass ? c.then : Window();
        c.change(now);
        EXPECT_EQ(hider::IsSameWindow(c.then, now), c.same) << c.what;
    }
}

}  // namespace
