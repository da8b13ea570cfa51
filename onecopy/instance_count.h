// How many instances of Veilkeeper this user runs in this logon session.
//
// Each instance holds a place: one of a fixed set of named mutexes of the
// user's own (see user_objects.h), owned by the thread that asked for the
// count. A place is given up when the library is unloaded, and the system
// gives it up for an instance that ended in any other way (an owned mutex is
// abandoned when its thread ends), so a crashed or killed instance never
// counts.
//
// Counting and taking a place happen under one lock of the user's, so
// instances started at the same moment are counted one after another: the
// first sees 1, the others see it. A start that cannot have the lock within a
// moment, or finds no place, hears that another instance may run.
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
