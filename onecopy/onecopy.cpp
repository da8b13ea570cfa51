// Onecopy.dll: tells Veilkeeper how many instances of it are running.
#include <windows.h>

#include "instance_count.h"

extern "C" DWORD WINAPI GetCount(void) {
    return onecopy::CountAndTakePlace();
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ::DisableThreadLibraryCalls(module);
        break;
    case DLL_PROCESS_DETACH:
        // Unloaded by FreeLibrary: give the place up now. At process end the
        // system does it, and nothing else may be touched then.
        if (reserved == nullptr) {
            onecopy::GiveUpPlace();
        }
        break;
    default:
        break;
    }
    return TRUE;
}
