// A child process started by a test and always ended with it.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "unique_handle.h"

namespace test {

// The folder this test program runs from, where the programs under test are.
std::wstring ProgramFolder();

class ChildProcess {
public:
    // Starts `program` with `arguments`. With `pipes`, the child's standard
    // input and output are pipes this object holds.
    ChildProcess(const std::wstring& program, const std::wstring& arguments, bool pipes = false,
                 const std::wstring& currentDirectory = L"");
    ChildProcess(ChildProcess&&) noexcept = default;
    ChildProcess& operator=(ChildProcess&&) noexcept = default;
    // Kills the child when it still runs, so no test leaves one behind.
    ~ChildProcess();

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_id; }
    HANDLE Handle() const { return m_process.get(); }

    // One line of the child's output, without its end; none at end or timeout.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Writes one line to the child's input.
    void WriteLine(const std::string& line);
    // Ends the child's input: children that wait for it then finish.
    void CloseInput();

    bool WaitForExit(std::chrono::milliseconds timeout);
    bool Running() const;
    void Kill();

private:
    handles::unique_handle m_process;
    DWORD m_id = 0;
    handles::unique_handle m_input;
    handles::unique_handle m_output;
    std::string m_pending;
};

}  // namespace test
