#include "relisting.h"

#include <algorithm>

namespace hider {

Relisting DecideRelisting(std::vector<RecordEntry> recorded,
                          const std::function<std::optional<WindowNow>(std::uint64_t handle)>& lookup) {
    std::sort(recorded.begin(), recorded.end(),
              [](const RecordEntry& a, const RecordEntry& b) { return a.order < b.order; });
    const auto stillHidden = [&](const WindowIdentity& window) {
        const std::optional<WindowNow> now = lookup(window.handle);
        return now && !now->visible && IsSameWindow(window, now->identity);
    };
    Relisting result;
    std::vector<WindowIdentity> droppedOwned;
    for (RecordEntry& entry : recorded) {
        // The active window by identity, across the owned windows that go.
        const std::optional<WindowIdentity> active =
            entry.active > 0 && entry.active <= entry.owned.size()
                ? std::optional<WindowIdentity>(entry.owned[entry.active - 1])
                : std::nullopt;
        std::erase_if(entry.owned, [&](const WindowIdentity& owned) { return !stillHidden(owned); });
        if (!stillHidden(entry.window)) {
            result.dropped.push_back(entry.order);
            droppedOwned.insert(droppedOwned.end(), entry.owned.begin(), entry.owned.end());
            continue;
        }
        const auto at = active ? std::find(entry.owned.begin(), entry.owned.end(), *active) : entry.owned.end();
        entry.active = at != entry.owned.end() ? static_cast<std::uint32_t>(at - entry.owned.begin() + 1) : 0;
        const auto older = std::find_if(result.rows.begin(), result.rows.end(), [&](const RecordEntry& row) {
            return IsSameWindow(row.window, entry.window);
        });
        if (older != result.rows.end()) {
            result.dropped.push_back(older->order);
            droppedOwned.insert(droppedOwned.end(), older->owned.begin(), older->owned.end());
            result.rows.erase(older);
        }
        result.rows.push_back(std::move(entry));
    }
    for (const WindowIdentity& owned : droppedOwned) {
        const bool held = std::any_of(result.rows.begin(), result.rows.end(), [&](const RecordEntry& row) {
            return std::find(row.owned.begin(), row.owned.end(), owned) != row.owned.end();
        });
        const bool twice = std::find(result.giveBack.begin(), result.giveBack.end(), owned) != result.giveBack.end();
        if (!held && !twice) {
            result.giveBack.push_back(owned);
        }
    }
    std::sort(result.dropped.begin(), result.dropped.end());
    return result;
}

}  // namespace hider
