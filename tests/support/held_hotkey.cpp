#include "held_hotkey.h"

namespace test {

namespace {
// Holders live on the test's thread and end in the reverse order of their
// starts, as scopes do: each takes the id above those still held.
constexpr int kFirstId = 0x7E00;
int g_holders = 0;
}  // namespace

HeldHotKey::HeldHotKey(UINT modifiers, UINT virtualKey)
    : m_id(kFirstId + g_holders++), m_held(::RegisterHotKey(nullptr, m_id, modifiers, virtualKey) != FALSE) {}

HeldHotKey::~HeldHotKey() {
    if (m_held) {
        ::UnregisterHotKey(nullptr, m_id);
    }
    --g_holders;
}

bool IsFree(UINT modifiers, UINT virtualKey) {
    return HeldHotKey(modifiers, virtualKey).Held();
}

}  // namespace test
