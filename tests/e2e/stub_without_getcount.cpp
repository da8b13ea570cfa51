// A library in the instance-count library's place that lacks GetCount.
#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI GetNothing(void) {
    return 0;
}
