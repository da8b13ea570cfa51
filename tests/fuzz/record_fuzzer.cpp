// Coverage-guided fuzzing of what a start does with the record: which values
// are entries and which hold an order, the order a new entry gets, and which
// windows are listed again.
//
// An input is lines, each byte one UTF-16 unit. "name<TAB>text" is a value of
// the record (a line without a tab, a value that is no text). A line named
// "hidden" or "shown" says instead that the windows its text names, written
// as an entry's, are there now, hidden or on screen.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record_contents.h"
#include "record_entry.h"
#include "record_orders.h"
#include "relisting.h"

namespace {

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

std::u16string Folded(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& c : folded) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - u'a' + u'A');
        }
    }
    return folded;
}

bool IsOrderName(std::u16string_view name) {
    if (name.size() != 8) {
        return false;
    }
    for (char16_t c : name) {
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
        if (!hex) {
            return false;
        }
    }
    return true;
}

struct Value {
    std::u16string name;
    std::optional<std::u16string> text;
};

void CheckEntry(const Value& value) {
    const std::optional<std::uint32_t> order = hider::OrderOfName(value.name);
    Require(order.has_value() == IsOrderName(value.name), "a name holds an order exactly when it is eight hex digits");
    if (order) {
        Require(Folded(hider::EntryName(*order)) == Folded(value.name), "an order's name is the name it was read from");
    }
    if (!value.text) {
        return;
    }
    const std::optional<hider::RecordEntry> entry = hider::DecodeEntry(value.name, *value.text);
    if (!entry) {
        return;
    }
    Require(order && entry->order == *order, "an entry's order is its name's");
    const std::u16string written = hider::EncodeEntry(*entry);
    Require(hider::DecodeEntry(hider::EntryName(entry->order), written) == entry, "an entry reads back as written");
    Require(hider::EncodeEntry(*hider::DecodeEntry(value.name, written)) == written, "writing is stable");
}

void CheckOrders(const hider::RecordContents& contents, const std::vector<Value>& values) {
    hider::RecordOrders orders;
    std::uint32_t newest = 0;
    bool any = false;
    for (const hider::RecordEntry& entry : contents.entries) {
        orders.Take(entry.order);
        newest = any && newest > entry.order ? newest : entry.order;
        any = true;
    }
    for (std::uint32_t order : contents.takenOrders) {
        orders.Take(order);
        newest = any && newest > order ? newest : order;
        any = true;
    }
    // A few hides in a row.
    std::vector<std::uint32_t> given;
    for (int hide = 0; hide < 4; ++hide) {
        const std::optional<std::uint32_t> next = orders.Next();
        Require(next.has_value(), "an order is free while most are");
        for (const Value& value : values) {
            Require(Folded(hider::EntryName(*next)) != Folded(value.name), "no new entry is named as a value");
        }
        for (std::uint32_t earlier : given) {
            Require(earlier != *next, "no order is given twice");
        }
        if (hide == 0 && any && newest != UINT32_MAX) {
            Require(*next == newest + 1, "a new entry comes after the newest");
        }
        given.push_back(*next);
        orders.Take(*next);
    }
}

void CheckRelisting(const std::vector<hider::RecordEntry>& recorded,
                    const std::map<std::uint64_t, hider::WindowNow>& windows) {
    auto lookup = [&](std::uint64_t handle) -> std::optional<hider::WindowNow> {
        const auto found = windows.find(handle);
        return found != windows.end() ? std::optional(found->second) : std::nullopt;
    };
    const hider::Relisting relisting = hider::DecideRelisting(recorded, lookup);

    std::map<std::uint32_t, int> seen;
    for (const hider::RecordEntry& row : relisting.rows) {
        ++seen[row.order];
    }
    for (std::uint32_t order : relisting.dropped) {
        ++seen[order];
    }
    Require(seen.size() == recorded.size(), "every entry is listed or dropped");
    for (const hider::RecordEntry& entry : recorded) {
        Require(seen[entry.order] == 1, "every entry is listed or dropped, once");
    }
    for (std::size_t n = 1; n < relisting.dropped.size(); ++n) {
        Require(relisting.dropped[n - 1] < relisting.dropped[n], "drops in order");
    }
    for (const hider::RecordEntry& entry : recorded) {
        if (std::find(relisting.dropped.begin(), relisting.dropped.end(), entry.order) == relisting.dropped.end()) {
            continue;
        }
        const auto now = lookup(entry.window.handle);
        const bool stillHidden = now && !now->visible && hider::IsSameWindow(entry.window, now->identity);
        const bool newerRow = std::any_of(relisting.rows.begin(), relisting.rows.end(), [&](const auto& row) {
            return row.order > entry.order && hider::IsSameWindow(row.window, entry.window);
        });
        Require(!stillHidden || newerRow, "a window still hidden is dropped only for a newer row of it");
    }
    // Each window, a row's own or one it owned, is in one row only.
    std::vector<hider::WindowIdentity> listed;
    for (const hider::RecordEntry& row : relisting.rows) {
        listed.push_back(row.window);
        listed.insert(listed.end(), row.owned.begin(), row.owned.end());
    }
    for (std::size_t n = 0; n < listed.size(); ++n) {
        for (std::size_t m = 0; m < n; ++m) {
            Require(!hider::IsSameWindow(listed[m], listed[n]), "a window is listed once");
        }
    }
    // What comes back at start is there, hidden, and in no row.
    for (const hider::WindowIdentity& window : relisting.giveBack) {
        const auto now = lookup(window.handle);
        Require(now && !now->visible && hider::IsSameWindow(window, now->identity),
                "a window given back is there and hidden");
        Require(std::none_of(listed.begin(), listed.end(),
                             [&](const hider::WindowIdentity& w) { return hider::IsSameWindow(w, window); }),
                "a window given back is in no row");
    }
    for (std::size_t n = 0; n < relisting.rows.size(); ++n) {
        const hider::RecordEntry& row = relisting.rows[n];
        Require(row.active <= row.owned.size(), "a row's active window is one of its own");
        Require(n == 0 || relisting.rows[n - 1].order < row.order, "rows oldest first");
        const auto now = lookup(row.window.handle);
        Require(now && !now->visible && hider::IsSameWindow(row.window, now->identity),
                "a row's window is there and hidden");
        for (std::size_t m = 0; m < n; ++m) {
            Require(!hider::IsSameWindow(relisting.rows[m].window, row.window), "a window has one row");
        }
        const hider::RecordEntry* entry = nullptr;
        for (const hider::RecordEntry& e : recorded) {
            entry = e.order == row.order ? &e : entry;
        }
        Require(entry != nullptr && entry->window == row.window, "a row is its entry's window");
        std::size_t from = 0;
        for (const hider::WindowIdentity& owned : row.owned) {
            const auto ownedNow = lookup(owned.handle);
            Require(ownedNow && hider::IsSameWindow(owned, ownedNow->identity), "an owned window listed is there");
            while (from < entry->owned.size() && !(entry->owned[from] == owned)) {
                ++from;
            }
            Require(from < entry->owned.size(), "owned windows are the entry's, in its order");
            ++from;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<Value> values;
    std::map<std::uint64_t, hider::WindowNow> windows;
    hider::RecordContents contents;
    std::u16string line;
    for (std::size_t at = 0; at <= size; ++at) {
        if (at < size && data[at] != '\n') {
            line += static_cast<char16_t>(data[at]);
            continue;
        }
        const std::size_t tab = line.find(u'\t');
        Value value{line.substr(0, tab), tab == std::u16string::npos ? std::nullopt
                                                                      : std::optional(line.substr(tab + 1))};
        line.clear();
        if ((value.name == u"hidden" || value.name == u"shown") && value.text) {
            if (const auto described = hider::DecodeEntry(u"00000001", *value.text)) {
                std::vector<hider::WindowIdentity> all{described->window};
                all.insert(all.end(), described->owned.begin(), described->owned.end());
                for (const hider::WindowIdentity& window : all) {
                    windows[window.handle] = {window, value.name == u"shown"};
                }
            }
            continue;
        }
        // The registry holds one value for names that differ only in case.
        bool again = false;
        for (const Value& earlier : values) {
            again = again || Folded(earlier.name) == Folded(value.name);
        }
        if (again) {
            continue;
        }
        CheckEntry(value);
        hider::AddRecordValue(contents, value.name,
                              value.text ? std::optional<std::u16string_view>(*value.text) : std::nullopt);
        values.push_back(std::move(value));
    }
    CheckOrders(contents, values);
    CheckRelisting(contents.entries, windows);
    return 0;
}
