#include "instance_count.h"

#include "user_objects.h"

namespace onecopy {

namespace {

// The lock is held for a few dozen system calls. A holder that keeps it
// longer is a start in progress that stopped (suspended, or under a
// debugger): no start waits for it longer than this, and none counts without
// it.
constexpr DWORD kLockWaitMs = 1000;

// What a start hears when the count cannot be taken soundly: another
// instance may run, so this one does not.
constexpr DWORD kMayBeRunning = 2;

// The lock stays open while the library is loaded, so the name it was found
// under stays ours while any instance runs; the caller's place is held for as
// long by the thread that asked.
handles::unique_handle g_lock;
handles::unique_handle g_place;
int g_placeIndex = -1;

// An abandoned mutex is one whose owner ended: it is ours now, like a free one.
bool Take(HANDLE mutex, DWORD waitMs) {
    const DWORD result = ::WaitForSingleObject(mutex, waitMs);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

// The first lock name that is ours. Another account may have made the first
// names before us (they are not secret); every start of ours passes them the
// same way and meets at the same lock, which stays while an instance runs.
handles::unique_handle FindLock(const UserObjects& objects) {
    for (int generation = 0; generation < kLockNames; ++generation) {
        if (handles::unique_handle lock = objects.OwnMutex(LockName(objects.Sid(), generation))) {
            return lock;
        }
    }
    return {};
}

}  // namespace

DWORD CountAndTakePlace() {
    UserObjects objects;
    if (!g_lock) {
        g_lock = FindLock(objects);
    }
    if (!g_lock || !Take(g_lock.get(), kLockWaitMs)) {
        return kMayBeRunning;
    }

    DWORD others = 0;
    for (int index = 0; index < kPlaces; ++index) {
        if (index == g_placeIndex) {
            continue;
        }
        // A name that holds anything but a place of ours is no instance.
        handles::unique_handle place = objects.OwnMutex(PlaceName(objects.Sid(), index));
        if (!place) {
            continue;
        }
        if (!Take(place.get(), 0)) {
            ++others;  // another live instance owns it
        } else if (!g_place) {
            g_place = std::move(place);  // the first free place is the caller's from now on
            g_placeIndex = index;
        } else {
            ::ReleaseMutex(place.get());
        }
    }

    ::ReleaseMutex(g_lock.get());
    // Without a place of its own this instance would be invisible to the next.
    return g_place ? others + 1 : kMayBeRunning;
}

void GiveUpPlace() {
    if (g_place) {
        ::ReleaseMutex(g_place.get());
        g_place.reset();
        g_placeIndex = -1;
    }
    g_lock.reset();
}

}  // namespace onecopy
