#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "hide_key_presses.h"

namespace {

using hider::HideKeyPresses;

struct Event {
    const char* what;  // "msg": a hotkey message; "up": the release reported
    std::uint64_t atMs;
    bool press;  // for "msg": whether it is a new press
};

TEST(HideKeyPresses, AHeldKeyIsOnePressAndAMissedReleaseHealsByItself) {
    struct Story {
        const char* name;
        std::vector<Event> events;
    };
    const Story stories[] = {
        {"a held key: the repeats are no presses",
         {{"msg", 1'000, true}, {"msg", 1'500, false}, {"msg", 1'533, false}, {"msg", 2'400, false}}},
        {"the longest keyboard delay before the first repeat", {{"msg", 1'000, true}, {"msg", 2'000, false}}},
        {"pressed again after its release", {{"msg", 1'000, true}, {"up", 1'080, true}, {"msg", 1'150, true}}},
        {"a release that was never reported holds only so long",
         {{"msg", 1'000, true}, {"msg", 3'000, true}, {"msg", 3'040, false}}},
        {"a clock that went back is no repeat", {{"msg", 5'000, true}, {"msg", 4'000, true}}},
    };
    for (const Story& story : stories) {
        HideKeyPresses presses;
        for (const Event& e : story.events) {
            if (std::string(e.what) == "up") {
                presses.Released();
            } else {
                EXPECT_EQ(presses.Pressed(e.atMs, true), e.press) << story.name << " at " << e.atMs;
            }
        }
    }
}

TEST(HideKeyPresses, WithoutAReportedReleaseEveryMessageIsAPress) {
    HideKeyPresses presses;
    EXPECT_TRUE(presses.Pressed(1'000, false));
    EXPECT_TRUE(presses.Pressed(1'033, false));
}

}  // namespace
