// How many instances of Veilkeeper run in this logon session.
//
// Each instance holds a place: one of a fixed set of named mutexes in the
// session's namespace, owned by the thread that asked for the count. A place
// is given up when the library is unloaded, and the system gives it up for an
// instance that ended in any other way (an owned mutex is abandoned when its
// thread ends), so a crashed or killed instance never counts.
//
// Counting and taking a place happen under one session-wide lock, so instances
// started at the same moment are counted one after another: the first sees 1,
// the others see it.
#pragma once

#include <windows.h>

namespace onecopy {

// The number of running instances, the caller included. The calling thread
// holds the caller's place: call it from the thread that lives as long as the
// instance does.
DWORD CountAndTakePlace();

// Gives the caller's place up. For the library's unloading only.
void GiveUpPlace();

}  // namespace onecopy
