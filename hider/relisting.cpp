#include "relisting.h"

#include <algorithm>

namespace hider {

Relisting DecideRelisting(std::vector<RecordEntry> recorded,
                          const std::function<std::optional<WindowNow>(std::uint64_t handle)>& lookup) {
    std::sort(recorded.begin(), recorded.end(),
              [](const RecordEntry& a, const RecordEntry& b) { return a.order < b.order; });
    Relisting result;
    for (RecordEntry& entry : recorded) {
        const std::optional<WindowNow> now = lookup(entry.window.handle);
        if (now && !now->visible && IsSameWindow(entry.window, now->identity)) {
            result.rows.push_back(std::move(entry));
        } else {
            result.dropped.push_back(entry.order);
        }
    }
    return result;
}

}  // namespace hider
