#include "title_cut.h"

namespace hider {

namespace {
bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
}  // namespace

std::u16string_view CutTitle(std::u16string_view title, std::size_t maxLength) {
    if (title.size() <= maxLength) {
        return title;
    }
    std::size_t length = maxLength;
    if (length > 0 && IsHighSurrogate(title[length - 1])) {
        --length;
    }
    return title.substr(0, length);
}

}  // namespace hider
