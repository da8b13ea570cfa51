// The durable record of the hidden windows, per user: an entry is added the
// moment a row is, and removed when its row goes, so whatever ends Veilkeeper,
// the next start knows which windows it left hidden.
#pragma once

#include <cstdint>
#include <vector>

#include "record_entry.h"

namespace hider {

class WindowRecord {
public:
    virtual ~WindowRecord() = default;

    // Every entry that reads back whole; the others are removed.
    virtual std::vector<RecordEntry> Load() = 0;
    virtual void Add(const RecordEntry& entry) = 0;
    virtual void Remove(std::uint32_t order) = 0;
    // Removes the record itself, once it holds nothing.
    virtual void RemoveIfEmpty() = 0;
};

}  // namespace hider
