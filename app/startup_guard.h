// The start-up guard: Veilkeeper runs only when the instance-count library is
// there and says no other instance runs.
#pragma once

#include <cstdint>

namespace app {

// The steps of asking the instance-count library, in the order they run.
// Their names are none that <windows.h> defines as macros (LoadLibrary is
// one): a name renamed in some files and not in others would make two
// classes of one.
class InstanceCountSteps {
public:
    virtual ~InstanceCountSteps() = default;
    virtual bool FindSystemDirectory() = 0;
    virtual bool LoadInstanceLibrary() = 0;
    virtual bool FindGetCount() = 0;
    virtual std::uint32_t GetCount() = 0;
};

enum class StartupDecision {
    Run,             // the only instance
    AlreadyRunning,  // another instance runs: say so and end
    FilesDamaged,    // the library is missing or broken: say so and end
};

// Runs the steps in order. A count of 0 or 1 lets the program run; any larger
// count, taken as unsigned, means another instance runs. Any failure, or any
// exception from a step, means damaged files.
StartupDecision DecideStartup(InstanceCountSteps& steps);

}  // namespace app
