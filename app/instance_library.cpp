#include "instance_library.h"

namespace app {

bool InstanceLibrary::FindSystemDirectory() {
    wchar_t directory[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return false;
    }
    m_systemDirectory.assign(directory, length);
    return true;
}

bool InstanceLibrary::LoadInstanceLibrary() {
    // A full path: a planted copy in the program's folder or the current
    // directory is never the one loaded.
    const std::wstring path = m_systemDirectory + L"\\Onecopy.dll";
    m_module.reset(::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    return static_cast<bool>(m_module);
}

bool InstanceLibrary::FindGetCount() {
    m_getCount = reinterpret_cast<GetCountFn>(reinterpret_cast<void*>(::GetProcAddress(m_module.get(), "GetCount")));
    return m_getCount != nullptr;
}

std::uint32_t InstanceLibrary::GetCount() {
    return m_getCount();
}

}  // namespace app
