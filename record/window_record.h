// The durable record of the hidden windows, per user and logon session: an
// entry is written before its window is hidden and removed when its row goes,
// so whatever ends Veilkeeper, the next start knows which windows it left
// hidden.
#pragma once

#include <cstdint>
#include <vector>

#include "record_entry.h"

namespace hider {

struct RecordContents {
    std::vector<RecordEntry> entries;  // every entry that reads back whole
    // Orders named by values that are no entry of ours (another format's,
    // another program's): left as they are, and never written over.
    std::vector<std::uint32_t> takenOrders;
};

class WindowRecord {
public:
    virtual ~WindowRecord() = default;

    // What the record holds; nothing in it is changed.
    virtual RecordContents Load() = 0;
    // Whether the entry was written whole: a window is hidden only then.
    virtual bool Add(const RecordEntry& entry) = 0;
    virtual void Remove(std::uint32_t order) = 0;
    // Removes the record's keys once they hold nothing, and the settings key
    // when the record was all it held.
    virtual void RemoveIfEmpty() = 0;
};

}  // namespace hider
