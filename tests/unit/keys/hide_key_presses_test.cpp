#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hide_key_presses.h"

namespace {

using hider::HideKeyPresses;

// What the keyboard's default settings give (a delay of 1, speed 31).
constexpr std::uint64_t kRepeatGap = 750;

// "down" / "up": what the watch saw; "msg": a hotkey message; "time": the
// waiting messages' moment is looked at. Then how many new presses the event
// made known.
struct Event {
    const char* what;
    std::uint64_t ms;
    int presses;
};

TEST(HideKeyPresses, AHeldKeyIsOnePressWhateverOrderTheWatchAndTheHotkeyCome) {
    struct Story {
        const char* name;
        std::vector<Event> events;
    };
    const Story stories[] = {
        {"held, the watch first each time",
         {{"down", 1'000, 0}, {"msg", 1'000, 1}, {"down", 1'500, 0}, {"msg", 1'500, 0}, {"down", 1'533, 0},
          {"msg", 1'533, 0}, {"up", 1'600, 0}, {"down", 2'000, 0}, {"msg", 2'000, 1}}},
        {"held, the message first each time (Wine: it fires as the key is read)",
         {{"msg", 1'000, 0}, {"down", 1'001, 1}, {"msg", 1'500, 0}, {"down", 1'501, 0}, {"up", 1'600, 0},
          {"msg", 2'000, 0}, {"down", 2'001, 1}}},
        {"the messages come after the release",
         {{"down", 1'000, 0}, {"down", 1'010, 0}, {"down", 1'020, 0}, {"up", 1'030, 0}, {"msg", 1'040, 1},
          {"msg", 1'045, 0}, {"msg", 1'050, 0}}},
        {"a held key on Windows: no message for the repeats, the next press is one",
         {{"down", 1'000, 0}, {"msg", 1'000, 1}, {"down", 1'500, 0}, {"down", 1'533, 0}, {"up", 1'600, 0},
          {"down", 1'700, 0}, {"msg", 1'700, 1}}},
        {"a key the watch cannot see (an elevated program in front): a press once the moment is over",
         {{"msg", 1'000, 0}, {"time", 1'100, 0}, {"time", 1'250, 1}, {"msg", 2'000, 0}, {"time", 2'250, 1}}},
        {"a held key's old repeats are never taken by a press the watch could not see",
         {{"down", 1'000, 0}, {"msg", 1'000, 1}, {"down", 1'033, 0}, {"down", 1'066, 0}, {"msg", 2'000, 0},
          {"time", 2'250, 1}}},
        {"a release missed (no window in front under Wine): the next press, after longer than a held key's "
         "repeats leave, is one",
         {{"down", 1'000, 0}, {"msg", 1'000, 1}, {"down", 1'000 + kRepeatGap + 1, 0},
          {"msg", 1'000 + kRepeatGap + 1, 1}, {"down", 3'000, 0}, {"msg", 3'000, 1}}},
        {"a held key's repeats as long as they come in time: one press",
         {{"down", 1'000, 0}, {"msg", 1'000, 1}, {"down", 1'000 + kRepeatGap, 0}, {"msg", 1'000 + kRepeatGap, 0},
          {"down", 1'000 + 2 * kRepeatGap, 0}, {"msg", 1'000 + 2 * kRepeatGap, 0}}},
        {"a release missed and the key pressed again as soon as a repeat would come: taken as one, its release "
         "heals",
         {{"down", 1'000, 0}, {"msg", 1'000, 1}, {"down", 1'400, 0}, {"msg", 1'400, 0}, {"up", 1'450, 0},
          {"down", 1'500, 0}, {"msg", 1'500, 1}}},
    };
    for (const Story& story : stories) {
        HideKeyPresses presses;
        int n = 0;
        for (const Event& e : story.events) {
            const std::string what = e.what;
            int made = 0;
            if (what == "up") {
                presses.WentUp();
            } else if (what == "down") {
                made = presses.WentDown(e.ms, kRepeatGap);
            } else if (what == "msg") {
                made = presses.Message(true, e.ms);
            } else {
                made = presses.TimeUp(e.ms);
            }
            EXPECT_EQ(made, e.presses) << story.name << ", event " << n;
            ++n;
        }
        EXPECT_FALSE(presses.Waiting()) << story.name;
    }
}

TEST(HideKeyPresses, AHeldKeysLongestGapFollowsTheKeyboardsSettings) {
    struct Case {
        unsigned delay;
        unsigned speed;
        std::uint64_t gapMs;
    };
    const Case cases[] = {
        {1, 31, 750},   // the defaults: the delay, 500 ms, is the longer
        {0, 31, 375},   // the shortest delay
        {3, 31, 1'500},  // the longest
        {0, 0, 600},    // the slowest repeats, 400 ms apart, outlast the shortest delay
        {7, 99, 1'500},  // out of range: the nearest in range
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hider::LongestRepeatGapMs(c.delay, c.speed), c.gapMs) << c.delay << ", " << c.speed;
    }
}

TEST(HideKeyPresses, WithoutAWatchEveryMessageIsAPress) {
    HideKeyPresses presses;
    presses.WentDown(1'000, kRepeatGap);
    EXPECT_EQ(presses.Message(false, 1'000), 1);
    EXPECT_EQ(presses.Message(false, 1'010), 1);
    EXPECT_FALSE(presses.Waiting());
}

}  // namespace
