#include "relisting.h"

#include <algorithm>

namespace hider {

namespace {

// Takes owned windows out of an entry, keeping its active window by identity
// (its index counts the owned windows).
template <typename Pred>
void EraseOwned(RecordEntry& entry, Pred erase) {
    const std::optional<WindowIdentity> active =
        entry.active > 0 && entry.active <= entry.owned.size()
            ? std::optional<WindowIdentity>(entry.owned[entry.active - 1])
            : std::nullopt;
    std::erase_if(entry.owned, erase);
    const auto at = active ? std::find(entry.owned.begin(), entry.owned.end(), *active) : entry.owned.end();
    entry.active = at != entry.owned.end() ? static_cast<std::uint32_t>(at - entry.owned.begin() + 1) : 0;
}

}  // namespace

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
        EraseOwned(entry, [&](const WindowIdentity& owned) { return !stillHidden(owned); });
        if (!stillHidden(entry.window)) {
            result.dropped.push_back(entry.order);
            droppedOwned.insert(droppedOwned.end(), entry.owned.begin(), entry.owned.end());
            continue;
        }
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
    // A window has one place: its own row first, else the newest row that
    // hid it. A dialog its program showed again and the user hid on its own,
    // or an entry naming a window twice, would otherwise be listed twice.
    std::vector<WindowIdentity> placed;
    for (const RecordEntry& row : result.rows) {
        placed.push_back(row.window);
    }
    const auto isPlaced = [&](const WindowIdentity& window) {
        return std::any_of(placed.begin(), placed.end(),
                           [&](const WindowIdentity& w) { return IsSameWindow(w, window); });
    };
    for (auto row = result.rows.rbegin(); row != result.rows.rend(); ++row) {
        EraseOwned(*row, [&](const WindowIdentity& owned) {
            const bool elsewhere = isPlaced(owned);
            if (!elsewhere) {
                placed.push_back(owned);
            }
            return elsewhere;
        });
    }
    for (const WindowIdentity& owned : droppedOwned) {
        const bool twice = std::find(result.giveBack.begin(), result.giveBack.end(), owned) != result.giveBack.end();
        if (!isPlaced(owned) && !twice) {
            result.giveBack.push_back(owned);
        }
    }
    std::sort(result.dropped.begin(), result.dropped.end());
    return result;
}

}  // namespace hider
