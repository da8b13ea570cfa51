#include "system_directory.h"

#include <windows.h>

#include "child_process.h"

namespace test {

std::wstring SystemDirectory() {
    wchar_t directory[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    return std::wstring(directory, length);
}

bool InstallInstanceLibrary(const std::wstring& source) {
    const std::wstring target = SystemDirectory() + L"\\Onecopy.dll";
    if (source.empty()) {
        return ::DeleteFileW(target.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    return ::CopyFileW((ProgramFolder() + L"\\" + source).c_str(), target.c_str(), FALSE) != FALSE;
}

}  // namespace test
