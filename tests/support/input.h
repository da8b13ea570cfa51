// Real input, as a user makes it: through the system's input queue, so global
// hotkeys fire and clicks land where the pointer is. Keys go to the window
// with the keyboard; when none has it, a small window of the test takes it
// first, as a desktop's shell would.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace test {

// Presses the keys in order and releases them in reverse.
void PressKeys(std::initializer_list<WORD> virtualKeys);
// One key-down or key-up; key-downs without a key-up between them are what a
// held key's auto-repeat makes.
void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);
void MovePointer(POINT screenPoint);
void DoubleClick(POINT screenPoint);
void RightClick(POINT screenPoint);
// The left button alone, where the pointer is.
void LeftDown();
void LeftUp();
void Click(POINT screenPoint);
POINT CentreOf(const RECT& rect);

}  // namespace test
