#include "child_process.h"

#include <vector>

namespace test {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

ChildProcess::ChildProcess(const std::wstring& program, const std::wstring& arguments, bool pipes,
                           const std::wstring& currentDirectory) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    handles::unique_handle childInput;
    handles::unique_handle childOutput;
    if (pipes) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        ::CreatePipe(childInput.put(), m_input.put(), &inherit, 0);
        ::CreatePipe(m_output.put(), childOutput.put(), &inherit, 0);
        ::SetHandleInformation(m_input.get(), HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(m_output.get(), HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput.get();
        startup.hStdOutput = childOutput.get();
        startup.hStdError = childOutput.get();
    }
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, pipes ? TRUE : FALSE, 0, nullptr,
                         currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info)) {
        m_process.reset(info.hProcess);
        ::CloseHandle(info.hThread);
        m_id = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (m_process && Running()) {
        Kill();
    }
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            return line;
        }
        DWORD available = 0;
        if (!::PeekNamedPipe(m_output.get(), nullptr, 0, nullptr, &available, nullptr)) {
            return std::nullopt;  // the child ended and closed its output
        }
        if (available > 0) {
            char chunk[256];
            DWORD read = 0;
            if (!::ReadFile(m_output.get(), chunk, sizeof chunk, &read, nullptr) || read == 0) {
                return std::nullopt;
            }
            m_pending.append(chunk, read);
            continue;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        ::Sleep(5);
    }
}

void ChildProcess::WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    DWORD written = 0;
    ::WriteFile(m_input.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void ChildProcess::CloseInput() {
    m_input.reset();
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    return ::WaitForSingleObject(m_process.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool ChildProcess::Running() const {
    return ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill() {
    ::TerminateProcess(m_process.get(), 1);
    ::WaitForSingleObject(m_process.get(), 20000);
}

}  // namespace test
