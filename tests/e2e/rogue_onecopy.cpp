// A planted Onecopy.dll: leaves a mark when it is loaded, and would refuse
// every start. Veilkeeper must only ever load the one in the system directory.
#include <windows.h>

extern "C" DWORD WINAPI GetCount(void) {
    return 2;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t mark[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, mark);
        ::wcscat_s(mark, L"veilkeeper-rogue-loaded");
        HANDLE file = ::CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
        }
    }
    return TRUE;
}
