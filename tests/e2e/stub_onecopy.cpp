// An instance-count library that always gives the same count.
#include <windows.h>

extern "C" DWORD WINAPI GetCount(void) {
    return STUB_COUNT;
}
