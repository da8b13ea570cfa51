#include "instance_count.h"

#include <cwchar>

namespace onecopy {

namespace {

constexpr int kPlaces = 64;
// The lock is held for a few dozen system calls; a holder that keeps it longer
// is suspended or stuck, and counting without it beats never starting.
constexpr DWORD kLockWaitMs = 2000;

constexpr wchar_t kLockName[] = L"Local\\Veilkeeper.Onecopy.Lock";
constexpr wchar_t kPlaceNameFormat[] = L"Local\\Veilkeeper.Onecopy.Place.%d";

HANDLE g_place = nullptr;
int g_placeIndex = -1;

HANDLE OpenPlace(int index) {
    wchar_t name[64];
    std::swprintf(name, sizeof name / sizeof name[0], kPlaceNameFormat, index);
    return ::CreateMutexW(nullptr, FALSE, name);
}

// An abandoned mutex is one whose owner ended: it is ours now, like a free one.
bool Take(HANDLE mutex, DWORD waitMs) {
    const DWORD result = ::WaitForSingleObject(mutex, waitMs);
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

}  // namespace

DWORD CountAndTakePlace() {
    HANDLE lock = ::CreateMutexW(nullptr, FALSE, kLockName);
    const bool locked = lock != nullptr && Take(lock, kLockWaitMs);

    DWORD others = 0;
    for (int index = 0; index < kPlaces; ++index) {
        if (index == g_placeIndex) {
            continue;
        }
        HANDLE place = OpenPlace(index);
        if (place == nullptr) {
            continue;
        }
        if (!Take(place, 0)) {
            ++others;  // another live instance owns it
        } else if (g_place == nullptr) {
            g_place = place;  // the first free place is the caller's from now on
            g_placeIndex = index;
            continue;
        } else {
            ::ReleaseMutex(place);
        }
        ::CloseHandle(place);
    }

    if (locked) {
        ::ReleaseMutex(lock);
    }
    if (lock != nullptr) {
        ::CloseHandle(lock);
    }
    return others + 1;
}

void GiveUpPlace() {
    if (g_place != nullptr) {
        ::ReleaseMutex(g_place);
        ::CloseHandle(g_place);
        g_place = nullptr;
        g_placeIndex = -1;
    }
}

}  // namespace onecopy
