#include "startup_guard.h"

namespace app {

StartupDecision DecideStartup(InstanceCountSteps& steps) {
    // A step that fails, or throws, ends the steps there.
    try {
        if (!steps.FindSystemDirectory() || !steps.LoadInstanceLibrary() || !steps.FindGetCount()) {
            return StartupDecision::FilesDamaged;
        }
        return steps.GetCount() > 1 ? StartupDecision::AlreadyRunning : StartupDecision::Run;
    } catch (...) {
        return StartupDecision::FilesDamaged;
    }
}

}  // namespace app
