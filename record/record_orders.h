// The orders of the record's entries: each row's entry is named by its order,
// and a newer row has a larger one. An order held by an entry, ours or a value
// another program left under such a name, is never handed out again.
#pragma once

#include <cstdint>
#include <optional>
#include <set>

namespace hider {

class RecordOrders {
public:
    // An entry holds it.
    void Take(std::uint32_t order) { m_taken.insert(order); }
    // Its entry is gone.
    void Free(std::uint32_t order) { m_taken.erase(order); }
    void Clear() { m_taken.clear(); }

    // The order for a new entry: after every order taken; once the largest
    // is taken, the smallest free one, so nothing wraps into a taken order.
    // None when every order is taken.
    std::optional<std::uint32_t> Next() const;

private:
    std::set<std::uint32_t> m_taken;
};

}  // namespace hider
