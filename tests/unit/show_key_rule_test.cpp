#include "show_key_rule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using hider::ShowKeyRule;
using hider::TabVerdict;

// One event of the Tab key: "ctrl" a key-down with Control alone, "plain" a
// key-down without it, "up" the release; then what the rule says.
struct Step {
    const char* event;
    std::uint64_t ms;
    TabVerdict verdict;
};

constexpr auto Pass = TabVerdict::PassOn;
constexpr auto Swallow = TabVerdict::Swallow;
constexpr auto Show = TabVerdict::ShowMain;

TEST(ShowKeyRule, OnlyTheSecondOfTwoPressesWithinHalfASecondShowsAndIsKept) {
    struct Story {
        const char* name;
        std::vector<Step> steps;
    };
    const Story stories[] = {
        {"a first press, right after the clock starts", {{"ctrl", 0, Pass}, {"up", 10, Pass}}},
        {"a first press, any time", {{"ctrl", 86'400'123, Pass}, {"up", 86'400'200, Pass}}},
        {"499 ms apart",
         {{"ctrl", 10'000, Pass}, {"up", 10'100, Pass}, {"ctrl", 10'499, Show}, {"up", 10'600, Swallow}}},
        {"500 ms apart", {{"ctrl", 10'000, Pass}, {"up", 10'100, Pass}, {"ctrl", 10'500, Pass}, {"up", 10'600, Pass}}},
        {"three presses a second apart",
         {{"ctrl", 1'000, Pass}, {"up", 1'050, Pass}, {"ctrl", 2'000, Pass}, {"up", 2'050, Pass},
          {"ctrl", 3'000, Pass}, {"up", 3'050, Pass}}},
        {"a time earlier than the previous press starts afresh",
         {{"ctrl", 90'000, Pass}, {"up", 90'050, Pass}, {"ctrl", 89'900, Pass}, {"up", 89'950, Pass},
          {"ctrl", 90'100, Show}, {"up", 90'150, Swallow}}},
        // The wall clock set back by an hour changes nothing the rule reads:
        // a monotonic clock goes on counting.
        {"the wall clock set back between two presses",
         {{"ctrl", 5'000, Pass}, {"up", 5'050, Pass}, {"ctrl", 5'000 + 3'600'000, Pass}, {"up", 3'605'100, Pass}}},
        {"a held key repeats: no double press",
         {{"ctrl", 1'000, Pass}, {"ctrl", 1'250, Pass}, {"ctrl", 1'283, Pass}, {"ctrl", 1'316, Pass},
          {"up", 1'400, Pass}}},
        {"a held second press repeats swallowed",
         {{"ctrl", 1'000, Pass}, {"up", 1'050, Pass}, {"ctrl", 1'200, Show}, {"ctrl", 1'450, Swallow},
          {"ctrl", 1'483, Swallow}, {"up", 1'500, Swallow}}},
        {"a third quick press starts a new double press",
         {{"ctrl", 1'000, Pass}, {"up", 1'050, Pass}, {"ctrl", 1'200, Show}, {"up", 1'250, Swallow},
          {"ctrl", 1'400, Pass}, {"up", 1'450, Pass}, {"ctrl", 1'600, Show}, {"up", 1'650, Swallow}}},
        {"Tab without Control in between breaks it",
         {{"ctrl", 1'000, Pass}, {"up", 1'050, Pass}, {"plain", 1'100, Pass}, {"up", 1'150, Pass},
          {"ctrl", 1'200, Pass}, {"up", 1'250, Pass}}},
        {"a lost release: the next press is taken as a repeat, its release heals",
         {{"ctrl", 1'000, Pass}, {"ctrl", 5'000, Pass}, {"up", 5'050, Pass}, {"ctrl", 5'100, Pass},
          {"up", 5'150, Pass}, {"ctrl", 5'200, Show}}},
    };
    for (const Story& story : stories) {
        ShowKeyRule rule;
        int n = 0;
        for (const Step& step : story.steps) {
            const std::string event = step.event;
            const TabVerdict verdict = event == "up" ? rule.TabUp() : rule.TabDown(event == "ctrl", step.ms);
            EXPECT_EQ(verdict, step.verdict) << story.name << ", step " << n;
            ++n;
        }
    }
}

}  // namespace
