// The per-user settings as the store holds them, and how they are read: each
// value through a 4-byte buffer, whatever its type.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace settings {

// One stored value as a 4-byte read sees it: its size, and its first bytes
// when it fits.
struct StoredValue {
    std::size_t size = 0;
    std::array<std::uint8_t, 4> bytes{};
};

// The four values; nothing where the key or the value is absent.
struct StoredSettings {
    std::optional<StoredValue> virtualKey;
    std::optional<StoredValue> modifiers;
    std::optional<StoredValue> invisibleOnDrop;
    std::optional<StoredValue> hideSelfAfterShow;
};

// The settings in force, starting from the defaults.
struct Settings {
    std::uint16_t hideKeyVk = 0xC0;
    std::uint16_t hideKeyModifiers = 0;
    bool invisibleOnDrop = true;
    bool hideSelfAfterShow = true;
};

// A value as a 32-bit little-endian number. Nothing for an absent value, one
// longer than 4 bytes (it does not fit the buffer) or an empty one; a shorter
// one is widened with zeros, never with bytes of an earlier read.
std::optional<std::uint32_t> DecodeValue(const std::optional<StoredValue>& value);

// The virtual-key codes a key can have.
inline constexpr std::uint16_t kFirstVirtualKey = 0x01;
inline constexpr std::uint16_t kLastVirtualKey = 0xFE;

// The settings after a load: each value read takes the place of the setting,
// the hide-key's two words from the low 16 bits, an option as on for any
// non-zero value; a value not read leaves the setting as it was. A key code
// outside kFirstVirtualKey..kLastVirtualKey counts as not read.
Settings Merge(Settings current, const StoredSettings& stored);

}  // namespace settings
