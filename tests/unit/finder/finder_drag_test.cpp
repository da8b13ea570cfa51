#include "finder_drag.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using hider::DragEffects;
using hider::FinderDrag;

// The effects as a word each, in the order the main window carries them out.
std::string Describe(const DragEffects& e) {
    std::string words;
    auto add = [&](bool on, const char* word) {
        if (on) words += words.empty() ? word : std::string(" ") + word;
    };
    add(e.captureMouse, "capture");
    add(e.hideMainWindow, "hide-main");
    add(e.showFinderCursor, "cursor");
    add(e.releaseMouse, "release");
    add(e.hideWindowAtPointer, "hide-target");
    add(e.showMainWindow, "show-main");
    return words.empty() ? "nothing" : words;
}

TEST(FinderDrag, EventsInEachStateAndWhatTheyAskFor) {
    struct Step {
        const char* event;  // "press" on the finder, "press-elsewhere", "release", "right", "lost"
        bool invisibleOnDrop;
        const char* effects;
        bool draggingAfter;
    };
    struct Story {
        const char* name;
        std::vector<Step> steps;
    };
    const Story stories[] = {
        {"drop with the option on",
         {{"press", true, "capture hide-main cursor", true}, {"release", true, "release hide-target show-main", false}}},
        {"drop with the option off",
         {{"press", false, "capture cursor", true}, {"release", false, "release hide-target", false}}},
        {"a right press cancels",
         {{"press", true, "capture hide-main cursor", true}, {"right", true, "release show-main", false},
          {"release", true, "nothing", false}}},
        {"losing the capture cancels, and the next release hides nothing",
         {{"press", true, "capture hide-main cursor", true}, {"lost", true, "release show-main", false},
          {"release", true, "nothing", false}, {"lost", true, "nothing", false}}},
        {"a press elsewhere starts nothing",
         {{"press-elsewhere", true, "nothing", false}, {"release", true, "nothing", false},
          {"right", true, "nothing", false}}},
        {"the option is read when the drag starts",
         {{"press", false, "capture cursor", true}, {"release", true, "release hide-target", false},
          {"press", true, "capture hide-main cursor", true}, {"right", false, "release show-main", false}}},
        {"a second press during a drag changes nothing",
         {{"press", true, "capture hide-main cursor", true}, {"press", false, "nothing", true},
          {"release", false, "release hide-target show-main", false}}},
    };
    for (const Story& story : stories) {
        FinderDrag drag;
        int n = 0;
        for (const Step& step : story.steps) {
            const std::string event = step.event;
            DragEffects effects;
            if (event == "press" || event == "press-elsewhere") {
                effects = drag.LeftPress(event == "press", step.invisibleOnDrop);
            } else if (event == "release") {
                effects = drag.LeftRelease();
            } else if (event == "lost") {
                effects = drag.CaptureLost();
            } else {
                effects = drag.RightPress();
            }
            EXPECT_EQ(Describe(effects), step.effects) << story.name << ", step " << n;
            EXPECT_EQ(drag.Dragging(), step.draggingAfter) << story.name << ", step " << n;
            ++n;
        }
    }
}

}  // namespace
