#include "show_key_rule.h"

#include <gtest/gtest.h>

namespace {

using hider::TimeOfDay;

TEST(ShowKeyRule, ShowsOnlyForAPressLessThanHalfASecondAfterThePrevious) {
    struct Case {
        TimeOfDay previous;
        TimeOfDay now;
        bool shows;
        const char* why;
    };
    const Case cases[] = {
        {{10, 0, 0, 0}, {10, 0, 0, 499}, true, "499 ms apart"},
        {{10, 0, 0, 0}, {10, 0, 0, 500}, false, "500 ms apart"},
        {{10, 0, 0, 800}, {10, 0, 1, 299}, true, "499 ms across a second"},
        {{10, 59, 59, 900}, {11, 0, 0, 300}, true, "400 ms across an hour"},
        {{10, 0, 0, 0}, {10, 0, 0, 0}, true, "the same instant"},
        {{}, {0, 0, 0, 499}, true, "first press, just after midnight UTC"},
        {{}, {0, 0, 0, 500}, false, "first press, half a second after midnight"},
        {{}, {15, 30, 0, 0}, false, "first press in the afternoon"},
        {{23, 59, 59, 999}, {0, 0, 0, 100}, true, "past midnight: negative"},
        {{12, 0, 0, 0}, {9, 0, 0, 0}, true, "a later day, earlier in the day: negative"},
        {{0, 0, 0, 0xFFFF}, {0, 0, 0, 0}, true, "fields are unsigned: 0 - 65535 is negative"},
        {{0, 0, 0, 0}, {0, 0, 0, 0xFFFF}, false, "fields are unsigned: 65535 ms later"},
        {{0, 0, 0, 0}, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, true, "wraps like 32-bit arithmetic"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hider::IsDoublePress(c.previous, c.now), c.shows) << c.why;
    }
}

TEST(ShowKeyRule, DifferenceIsInMillisecondsOfTheDay) {
    EXPECT_EQ(hider::MillisecondsBetween({1, 2, 3, 4}, {2, 3, 4, 5}), 3'661'001);
    EXPECT_EQ(hider::MillisecondsBetween({23, 59, 59, 999}, {0, 0, 0, 0}), -86'399'999);
    // 65535 hours of milliseconds do not fit in 32 bits: the result wraps.
    EXPECT_EQ(hider::MillisecondsBetween({0, 0, 0, 0}, {0xFFFF, 0, 0, 0}),
              static_cast<std::int32_t>(0xFFFFull * 3'600'000ull));
}

}  // namespace
