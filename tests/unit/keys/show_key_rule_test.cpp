#include "show_key_rule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using hider::ShowKeyRule;
using hider::ShowKeyStep;
using hider::WatchedKey;

// One event as the watch sees it: "ctrl" / "ctrl up" (left Control),
// "shift" / "shift up", "tab" / "tab up", "hotkey" (the armed hotkey took a
// press), "timer" (the armed moment is over); then what the main window does:
// "" nothing, "arm N" (until N ms), "disarm", "show", "disarm show".
struct Step {
    const char* event;
    std::uint64_t ms;
    const char* does;
};

std::string Does(const ShowKeyStep& step) {
    std::string does;
    if (step.disarm) {
        does += "disarm";
    }
    if (step.armUntilMs) {
        does += (does.empty() ? "arm " : " arm ") + std::to_string(*step.armUntilMs);
    }
    if (step.showMain) {
        does += does.empty() ? "show" : " show";
    }
    return does;
}

ShowKeyStep Apply(ShowKeyRule& rule, const std::string& event, std::uint64_t ms) {
    if (event == "hotkey") {
        return rule.ArmedKeyPressed(ms);
    }
    if (event == "timer") {
        return rule.TimeUp();
    }
    const bool up = event.size() > 3 && event.substr(event.size() - 3) == " up";
    const std::string name = up ? event.substr(0, event.size() - 3) : event;
    const WatchedKey key = name == "ctrl" ? WatchedKey::LeftControl : name == "shift" ? WatchedKey::LeftShift
                                                                                       : WatchedKey::Tab;
    return up ? rule.KeyUp(key, ms) : rule.KeyDown(key, ms);
}

TEST(ShowKeyRule, OnlyTheSecondOfTwoPressesWithinHalfASecondShowsAndOnlyItIsKept) {
    struct Story {
        const char* name;
        std::vector<Step> steps;
    };
    const Story stories[] = {
        {"a single press passes and arms until half a second after it",
         {{"ctrl", 0, ""}, {"tab", 1'000, ""}, {"tab up", 1'100, "arm 1500"}, {"timer", 1'500, "disarm"},
          {"ctrl up", 1'600, ""}}},
        {"the second press taken by the armed hotkey, then seen by the watch",
         {{"ctrl", 0, ""}, {"tab", 10'000, ""}, {"tab up", 10'100, "arm 10500"}, {"hotkey", 10'499, "disarm show"},
          {"tab", 10'499, ""}, {"tab up", 10'550, ""}}},
        {"the second press seen by the watch first: the hotkey's message is no second show",
         {{"ctrl", 0, ""}, {"tab", 10'000, ""}, {"tab up", 10'100, "arm 10500"}, {"tab", 10'200, "disarm show"},
          {"hotkey", 10'200, ""}, {"tab up", 10'250, ""}}},
        {"another program holds Control+Tab: the watch alone shows",
         {{"ctrl", 0, ""}, {"tab", 10'000, ""}, {"tab up", 10'100, "arm 10500"}, {"tab", 10'300, "disarm show"},
          {"tab up", 10'350, ""}}},
        {"500 ms apart is too late, even if the hotkey was not yet taken back",
         {{"ctrl", 0, ""}, {"tab", 10'000, ""}, {"tab up", 10'100, "arm 10500"}, {"hotkey", 10'500, "disarm"}}},
        {"a held press never arms: its release comes too late",
         {{"ctrl", 0, ""}, {"tab", 1'000, ""}, {"tab", 1'250, ""}, {"tab", 1'283, ""}, {"tab", 1'316, ""},
          {"tab up", 1'600, ""}, {"tab", 1'700, ""}}},
        {"three presses a second apart: each one a first",
         {{"ctrl", 0, ""}, {"tab", 1'000, ""}, {"tab up", 1'050, "arm 1500"}, {"timer", 1'500, "disarm"},
          {"tab", 2'000, ""}, {"tab up", 2'050, "arm 2500"}, {"timer", 2'500, "disarm"}, {"tab", 3'000, ""},
          {"tab up", 3'050, "arm 3500"}}},
        {"a third quick press after a double press starts afresh",
         {{"ctrl", 0, ""}, {"tab", 1'000, ""}, {"tab up", 1'050, "arm 1500"}, {"hotkey", 1'200, "disarm show"},
          {"tab", 1'200, ""}, {"tab up", 1'250, ""}, {"tab", 1'300, ""}, {"tab up", 1'350, "arm 1800"}}},
        {"Control+Shift+Tab is no press, and breaks a double press",
         {{"ctrl", 0, ""}, {"tab", 1'000, ""}, {"tab up", 1'050, "arm 1500"}, {"shift", 1'100, ""},
          {"tab", 1'150, "disarm"}, {"tab up", 1'200, ""}, {"shift up", 1'250, ""}, {"tab", 1'300, ""},
          {"tab up", 1'350, "arm 1800"}}},
        {"Tab alone is no press", {{"tab", 1'000, ""}, {"tab up", 1'050, ""}, {"tab", 1'100, ""}}},
        {"a time earlier than the first press starts afresh",
         {{"ctrl", 0, ""}, {"tab", 90'000, ""}, {"tab up", 90'050, "arm 90500"}, {"tab", 89'900, "disarm"},
          {"tab up", 89'950, "arm 90400"}, {"tab", 90'100, "disarm show"}}},
        // The wall clock set back by an hour changes nothing the rule reads:
        // a monotonic clock goes on counting.
        {"the wall clock set back between two presses",
         {{"ctrl", 0, ""}, {"tab", 5'000, ""}, {"tab up", 5'050, "arm 5500"}, {"timer", 5'500, "disarm"},
          {"tab", 3'605'000, ""}}},
        {"a lost Tab release: the next press is taken as a repeat, its release heals",
         {{"ctrl", 0, ""}, {"tab", 1'000, ""}, {"tab", 5'000, ""}, {"tab up", 5'050, ""}, {"tab", 5'100, ""},
          {"tab up", 5'150, "arm 5600"}, {"tab", 5'200, "disarm show"}}},
    };
    for (const Story& story : stories) {
        ShowKeyRule rule;
        int n = 0;
        for (const Step& step : story.steps) {
            EXPECT_EQ(Does(Apply(rule, step.event, step.ms)), step.does) << story.name << ", step " << n;
            ++n;
        }
    }
}

TEST(ShowKeyRule, EachControlKeyIsItsOwn) {
    ShowKeyRule rule;
    rule.KeyDown(WatchedKey::LeftControl, 0);
    rule.KeyDown(WatchedKey::RightControl, 0);
    rule.KeyUp(WatchedKey::LeftControl, 0);
    EXPECT_TRUE(rule.Held(WatchedKey::RightControl));
    rule.KeyDown(WatchedKey::Tab, 1'000);
    EXPECT_EQ(Does(rule.KeyUp(WatchedKey::Tab, 1'050)), "arm 1500") << "Control is still held";
}

}  // namespace
