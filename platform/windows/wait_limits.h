// How long Veilkeeper waits for another program's window. A window that does
// not answer in this time is taken as hung and left alone: Veilkeeper itself
// must never freeze on one.
#pragma once

#include <windows.h>

namespace platform {

// A request whose answer we need (the icon).
inline constexpr UINT kAnswerTimeoutMs = 300;
// A request that only asks the window to act (open its window menu).
inline constexpr UINT kRequestTimeoutMs = 300;

}  // namespace platform
