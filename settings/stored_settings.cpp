#include "stored_settings.h"

namespace settings {

std::optional<std::uint32_t> DecodeValue(const std::optional<StoredValue>& value) {
    if (!value || value->size == 0 || value->size > value->bytes.size()) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (std::size_t i = value->size; i-- > 0;) {
        number = (number << 8) | value->bytes[i];
    }
    return number;
}

Settings Merge(Settings current, const StoredSettings& stored) {
    if (const auto vk = DecodeValue(stored.virtualKey)) {
        // Only a code a key can have: anything else would be registered as a
        // key the dialog cannot show.
        const auto word = static_cast<std::uint16_t>(*vk & 0xFFFFu);
        if (word >= kFirstVirtualKey && word <= kLastVirtualKey) {
            current.hideKeyVk = word;
        }
    }
    if (const auto modifiers = DecodeValue(stored.modifiers)) {
        current.hideKeyModifiers = static_cast<std::uint16_t>(*modifiers & 0xFFFFu);
    }
    if (const auto option = DecodeValue(stored.invisibleOnDrop)) {
        current.invisibleOnDrop = *option != 0;
    }
    if (const auto option = DecodeValue(stored.hideSelfAfterShow)) {
        current.hideSelfAfterShow = *option != 0;
    }
    return current;
}

}  // namespace settings
