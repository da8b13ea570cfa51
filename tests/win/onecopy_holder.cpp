// Holds Onecopy.dll from the system directory as an instance of Veilkeeper
// does: loads it, asks for the count, prints it, and keeps the library until
// its input ends. With an event name, it first waits for that event, so a test
// can start several holders at the same moment.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc > 1) {
        HANDLE start = ::OpenEventW(SYNCHRONIZE, FALSE, argv[1]);
        std::puts(start != nullptr ? "ready" : "no event");
        std::fflush(stdout);
        if (start == nullptr || ::WaitForSingleObject(start, 30000) != WAIT_OBJECT_0) {
            std::puts("no start");
            return 2;
        }
        ::CloseHandle(start);
    }

    wchar_t path[MAX_PATH] = {};
    ::GetSystemDirectoryW(path, MAX_PATH);
    ::wcscat_s(path, L"\\Onecopy.dll");
    HMODULE library = ::LoadLibraryW(path);
    using GetCountFn = DWORD(WINAPI*)();
    auto getCount = library != nullptr
                        ? reinterpret_cast<GetCountFn>(reinterpret_cast<void*>(::GetProcAddress(library, "GetCount")))
                        : nullptr;
    if (getCount == nullptr) {
        std::puts("no library");
        return 3;
    }
    std::printf("%lu\n", static_cast<unsigned long>(getCount()));
    std::fflush(stdout);

    char ignored[64];
    DWORD read = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), ignored, sizeof ignored, &read, nullptr) && read > 0) {
    }
    ::FreeLibrary(library);
    return 0;
}
