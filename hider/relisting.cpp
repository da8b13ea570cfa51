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
        if (!now || now->visible || !IsSameWindow(entry.window, now->identity)) {
            result.dropped.push_back(entry.order);
            continue;
        }
        std::erase_if(entry.owned, [&](const WindowIdentity& owned) {
            const std::optional<WindowNow> ownedNow = lookup(owned.handle);
            return !ownedNow || !IsSameWindow(owned, ownedNow->identity);
        });
        const auto older = std::find_if(result.rows.begin(), result.rows.end(), [&](const RecordEntry& row) {
            return IsSameWindow(row.window, entry.window);
        });
        if (older != result.rows.end()) {
            result.dropped.push_back(older->order);
            result.rows.erase(older);
        }
        result.rows.push_back(std::move(entry));
    }
    // A window has one place: its own row first, else the newest row that
    // hid it. A dialog its program showed again and the user hid on its own,
    // or an entry naming a window twice, would otherwise be listed twice.
    std::vector<WindowIdentity> placed;
    for (const RecordEntry& row : result.rows) {
        placed.push_back(row.window);
    }
    for (auto row = result.rows.rbegin(); row != result.rows.rend(); ++row) {
        std::erase_if(row->owned, [&](const WindowIdentity& owned) {
            const bool elsewhere = std::any_of(placed.begin(), placed.end(), [&](const WindowIdentity& w) {
                return IsSameWindow(w, owned);
            });
            if (!elsewhere) {
                placed.push_back(owned);
            }
            return elsewhere;
        });
    }
    std::sort(result.dropped.begin(), result.dropped.end());
    return result;
}

}  // namespace hider
