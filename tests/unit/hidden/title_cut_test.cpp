#include "title_cut.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TitleCut, NeverEndsInHalfASurrogatePair) {
    const std::u16string emoji = u"\U0001F648";
    struct Case {
        const char* what;
        std::u16string title;
        std::size_t max;
        std::u16string cut;
    };
    const Case cases[] = {
        {"shorter than the limit", u"abc", 5, u"abc"},
        {"exactly the limit", u"abcde", 5, u"abcde"},
        {"longer: cut at the limit", u"abcdefg", 5, u"abcde"},
        {"a pair across the cut: both halves go", u"abcd" + emoji + u"x", 5, u"abcd"},
        {"a pair ending at the cut stays", u"abc" + emoji + u"x", 5, u"abc" + emoji},
        {"a pair right after the cut", u"abcde" + emoji, 5, u"abcde"},
        {"a lone high surrogate at the cut goes too", std::u16string(u"abcd") + char16_t(0xD83D) + u"xy", 5, u"abcd"},
        {"a low surrogate at the cut is no half of a pair here", std::u16string(u"abcd") + char16_t(0xDE48) + u"xy",
         5, std::u16string(u"abcd") + char16_t(0xDE48)},
        {"only pairs", emoji + emoji + emoji, 5, emoji + emoji},
        {"nothing allowed", u"abc", 0, u""},
        {"empty", u"", 5, u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::u16string(hider::CutTitle(c.title, c.max)), c.cut) << c.what;
    }
}

}  // namespace
