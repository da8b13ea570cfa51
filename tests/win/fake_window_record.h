// The record of hidden windows kept in memory, for tests that must not share
// the user's record.
#pragma once

#include <map>
#include <vector>

#include "window_record.h"

namespace test {

class FakeWindowRecord final : public hider::WindowRecord {
public:
    hider::RecordContents Load() override {
        hider::RecordContents contents{{}, m_takenOrders};
        for (const auto& [order, entry] : m_entries) {
            contents.entries.push_back(entry);
        }
        return contents;
    }
    bool Add(const hider::RecordEntry& entry) override {
        if (m_refuseWrites) {
            return false;
        }
        m_entries[entry.order] = entry;
        return true;
    }
    void Remove(std::uint32_t order) override { m_entries.erase(order); }
    void RemoveIfEmpty() override {}

    std::map<std::uint32_t, hider::RecordEntry> m_entries;
    std::vector<std::uint32_t> m_takenOrders;  // values that are no entry of ours
    bool m_refuseWrites = false;
};

}  // namespace test
