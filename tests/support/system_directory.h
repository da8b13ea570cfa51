// Puts a library into the Windows system directory of the test's own prefix,
// as the setup program would, and takes it away again.
#pragma once

#include <string>

namespace test {

std::wstring SystemDirectory();

// Copies `source` (a file beside the test program) to the system directory as
// Onecopy.dll; an empty name removes the library there.
bool InstallInstanceLibrary(const std::wstring& source);

}  // namespace test
