#include "record_orders.h"

namespace hider {

std::optional<std::uint32_t> RecordOrders::Next() const {
    if (m_taken.empty()) {
        return 1;
    }
    const std::uint32_t newest = *m_taken.rbegin();
    if (newest != UINT32_MAX) {
        return newest + 1;
    }
    // Only a value written by someone else gets this far: 4 billion hides
    // would take a lifetime. The first gap from the start.
    std::uint32_t candidate = 1;
    for (std::uint32_t taken : m_taken) {
        if (taken > candidate) {
            break;
        }
        if (taken == candidate) {
            if (candidate == UINT32_MAX) {
                return std::nullopt;
            }
            ++candidate;
        }
    }
    return candidate;
}

}  // namespace hider
