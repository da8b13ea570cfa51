// The record of hidden windows kept in memory, for tests that must not share
// the user's record.
#pragma once

#include <map>
#include <vector>

#include "window_record.h"

namespace test {

class FakeWindowRecord final : public hider::WindowRecord {
public:
    std::vector<hider::RecordEntry> Load() override {
        std::vector<hider::RecordEntry> entries;
        for (const auto& [order, entry] : m_entries) {
            entries.push_back(entry);
        }
        return entries;
    }
    void Add(const hider::RecordEntry& entry) override { m_entries[entry.order] = entry; }
    void Remove(std::uint32_t order) override { m_entries.erase(order); }
    void RemoveIfEmpty() override {}

    std::map<std::uint32_t, hider::RecordEntry> m_entries;
};

}  // namespace test
