#include "show_key_rule.h"

namespace hider {

std::int32_t MillisecondsBetween(const TimeOfDay& earlier, const TimeOfDay& later) {
    // Unsigned arithmetic wraps like the 32-bit signed arithmetic it stands
    // for, without overflow on any field values; the conversion back to signed
    // is two's complement.
    const std::uint32_t hours = std::uint32_t{later.hour} - earlier.hour;
    const std::uint32_t minutes = hours * 60u + (std::uint32_t{later.minute} - earlier.minute);
    const std::uint32_t seconds = minutes * 60u + (std::uint32_t{later.second} - earlier.second);
    const std::uint32_t ms = seconds * 1000u + (std::uint32_t{later.millisecond} - earlier.millisecond);
    return static_cast<std::int32_t>(ms);
}

bool IsDoublePress(const TimeOfDay& previous, const TimeOfDay& now) {
    return MillisecondsBetween(previous, now) < kDoublePressMs;
}

}  // namespace hider
