#include "startup_guard.h"

namespace app {

StartupDecision DecideStartup(InstanceCountSteps& steps) {
    try {
        if (!steps.FindSystemDirectory()) {
            throw StartupFailure{"GetSystemDirectory False"};
        }
        if (!steps.LoadLibrary()) {
            throw StartupFailure{"LoadLibrary False"};
        }
        if (!steps.FindGetCount()) {
            throw StartupFailure{"GetProcAddress GetCount False"};
        }
        return steps.GetCount() > 1 ? StartupDecision::AlreadyRunning : StartupDecision::Run;
    } catch (...) {
        return StartupDecision::FilesDamaged;
    }
}

}  // namespace app
