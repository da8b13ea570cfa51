// The process entry point. Kept out of the framework library so that test
// programs can link the framework with an entry point of their own.
#include "win_app.h"

namespace {

// Libraries that system components load by name later (the shell's, when F1
// opens the guide) come from the system directory only, never from beside the
// program: a downloaded folder may hold anything. Looked up at run time, since
// Windows 7 without its update lacks it; there, at least the current directory
// leaves the search.
void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories == nullptr || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        ::SetDllDirectoryW(L"");
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    RestrictLibrarySearch();
    try {
        return fw::RunApplication(hInstance);
    } catch (...) {
        return -1;
    }
}
