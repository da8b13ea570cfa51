#include "record_contents.h"

namespace hider {

void AddRecordValue(RecordContents& contents, std::u16string_view name, std::optional<std::u16string_view> text) {
    std::optional<RecordEntry> entry = text ? DecodeEntry(name, *text) : std::nullopt;
    if (entry) {
        contents.entries.push_back(std::move(*entry));
    } else if (const auto order = OrderOfName(name)) {
        contents.takenOrders.push_back(*order);
    }
}

}  // namespace hider
