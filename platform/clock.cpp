#include "clock.h"

#include <windows.h>

namespace platform {

std::uint64_t MessageTimeMs() {
    // The message's 32-bit tick lies a little before now: the difference of
    // the low halves, taken modulo 2^32, survives the count's wrap.
    const ULONGLONG now = ::GetTickCount64();
    const DWORD ago = static_cast<DWORD>(now) - static_cast<DWORD>(::GetMessageTime());
    return ago <= now ? now - ago : 0;
}

}  // namespace platform
