// The instance-count library, found in the Windows system directory only.
#pragma once

#include <windows.h>

#include <string>

#include "startup_guard.h"
#include "unique_handle.h"

namespace app {

class InstanceLibrary final : public InstanceCountSteps {
public:
    // The loaded library goes to `module`, which keeps it for the whole run.
    explicit InstanceLibrary(handles::unique_hmodule& module) noexcept : m_module(module) {}

    bool FindSystemDirectory() override;
    bool LoadInstanceLibrary() override;
    bool FindGetCount() override;
    std::uint32_t GetCount() override;

private:
    using GetCountFn = DWORD(WINAPI*)();

    handles::unique_hmodule& m_module;
    std::wstring m_systemDirectory;
    GetCountFn m_getCount = nullptr;
};

}  // namespace app
