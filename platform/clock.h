// The clock the keys are timed by: milliseconds that only go forward, and the
// time a message was posted on that clock, so a busy moment before it is
// handled neither stretches nor shrinks the gap between two key presses.
#pragma once

#include <cstdint>

namespace platform {

// When the message this thread is handling was posted (GetMessageTime),
// on the GetTickCount64 clock.
std::uint64_t MessageTimeMs();

}  // namespace platform
