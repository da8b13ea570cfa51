// A global hotkey the test holds, as another program would, for as long as
// the holder lives: a test that fails half-way leaves no key taken from the
// tests after it.
#pragma once

#include <windows.h>

namespace test {

class HeldHotKey {
public:
    HeldHotKey(UINT modifiers, UINT virtualKey);
    HeldHotKey(const HeldHotKey&) = delete;
    HeldHotKey& operator=(const HeldHotKey&) = delete;
    ~HeldHotKey();

    // Whether the key was free to take.
    bool Held() const { return m_held; }

private:
    int m_id;
    bool m_held;
};

// Whether no program holds the combination now.
bool IsFree(UINT modifiers, UINT virtualKey);

}  // namespace test
