// Where a window's title is cut for its row: never inside a surrogate pair, so
// a row never ends in half a character.
#pragma once

#include <cstddef>
#include <string_view>

namespace hider {

// The most a row shows of a title, in UTF-16 units; the window services
// read titles to this length and beyond (platform::kMaxTitleLength, tied to
// it where both are seen).
inline constexpr std::size_t kRowTitleLength = 510;

// The first at most `maxLength` UTF-16 units of `title`, one fewer when the
// cut would leave the high half of a pair at the end.
std::u16string_view CutTitle(std::u16string_view title, std::size_t maxLength);

}  // namespace hider
