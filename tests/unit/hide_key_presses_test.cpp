#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hide_key_presses.h"

namespace {

using hider::HideKeyPresses;

// "msg": a hotkey message, nothing waiting; "msg queued": one with key input
// still waiting for the watch; "down" / "up": what the watch saw. For a
// message: whether it is a new press.
struct Event {
    const char* what;
    bool press;
};

TEST(HideKeyPresses, AHeldKeyIsOnePressAndAMissedReleaseCostsOnePressAtMost) {
    struct Story {
        const char* name;
        std::vector<Event> events;
    };
    const Story stories[] = {
        {"held: each repeat's key-down seen before its message",
         {{"down", true}, {"msg", true}, {"down", true}, {"msg", false}, {"down", true}, {"msg", false},
          {"up", true}, {"down", true}, {"msg", true}}},
        {"held: each message before the key-down it comes with",
         {{"msg", true}, {"down", true}, {"msg", false}, {"down", true}, {"msg", false}, {"up", true},
          {"msg", true}}},
        {"a burst of repeats handled before the watch's input",
         {{"msg", true}, {"msg queued", false}, {"msg queued", false}, {"down", true}, {"down", true},
          {"down", true}, {"up", true}, {"msg", true}}},
        {"a release missed while the watch saw nothing: the next message is a press",
         {{"down", true}, {"msg", true}, {"msg", true}}},
        {"a release missed, the next press seen: it costs that press, its release heals",
         {{"down", true}, {"msg", true}, {"down", true}, {"msg", false}, {"up", true}, {"down", true},
          {"msg", true}}},
    };
    for (const Story& story : stories) {
        HideKeyPresses presses;
        int n = 0;
        for (const Event& e : story.events) {
            const std::string what = e.what;
            if (what == "up") {
                presses.Released();
            } else if (what == "down") {
                presses.WentDown();
            } else {
                EXPECT_EQ(presses.Pressed(true, [&] { return what == "msg queued"; }), e.press) << story.name << ", event " << n;
            }
            ++n;
        }
    }
}

TEST(HideKeyPresses, WithoutAWatchEveryMessageIsAPress) {
    HideKeyPresses presses;
    EXPECT_TRUE(presses.Pressed(false, [] { return true; }));
    EXPECT_TRUE(presses.Pressed(false, [] { return true; }));
}

}  // namespace
