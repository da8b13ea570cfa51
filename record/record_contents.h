// How a value read from the record counts: an entry of ours, an order held by
// something else, or nothing of ours at all.
#pragma once

#include <optional>
#include <string_view>

#include "window_record.h"

namespace hider {

// Adds the value named `name` to what was read: its entry when `text` (none
// when the value is no text, or could not be read whole) decodes as one; else
// its name's order, whatever the case of its digits, so no entry is ever
// written over it.
void AddRecordValue(RecordContents& contents, std::u16string_view name, std::optional<std::u16string_view> text);

}  // namespace hider
