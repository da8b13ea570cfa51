// The show-key brings the main window back only when pressed twice in quick
// succession, so a single Control+Tab meant for another program does nothing.
#pragma once

#include <cstdint>

namespace hider {

// The part of the clock the rule reads: the time of day in UTC.
struct TimeOfDay {
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t millisecond = 0;
};

inline constexpr std::int32_t kDoublePressMs = 500;

// Milliseconds from `earlier` to `later` by the time of day alone (the date is
// not looked at), in 32-bit two's-complement arithmetic: negative when
// `later` is earlier in the day.
std::int32_t MillisecondsBetween(const TimeOfDay& earlier, const TimeOfDay& later);

// Whether a press at `now` completes a double press begun at `previous`.
bool IsDoublePress(const TimeOfDay& previous, const TimeOfDay& now);

}  // namespace hider
