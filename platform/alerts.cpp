#include "alerts.h"

#include <windows.h>

namespace platform {

void SoundWarning() {
    ::MessageBeep(MB_ICONWARNING);
}

}  // namespace platform
