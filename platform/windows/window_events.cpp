#include "window_events.h"

#include <algorithm>
#include <utility>

#include "unique_handle.h"

namespace platform {

namespace {

struct Watch {
    DWORD processId = 0;
    handles::unique_hwineventhook hook;
};

// The hooks carry no context: one queue for the thread that watches.
struct Watches {
    std::vector<Watch> byProcess;
    std::vector<WindowEvent> queued;
    HWND notify = nullptr;
    UINT message = 0;
};

Watches& TheWatches() {
    static Watches watches;
    return watches;
}

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    // Only the windows themselves: carets, cursors and controls' items come
    // through the same hook.
    if (window == nullptr || object != OBJID_WINDOW || child != CHILDID_SELF) {
        return;
    }
    WindowChange change = WindowChange::Shown;
    switch (event) {
        case EVENT_OBJECT_SHOW: change = WindowChange::Shown; break;
        case EVENT_OBJECT_HIDE: change = WindowChange::Hidden; break;
        case EVENT_OBJECT_DESTROY: change = WindowChange::Destroyed; break;
        default: return;
    }
    Watches& watches = TheWatches();
    // Posted, not acted on here: this runs inside whatever wait for messages
    // the thread is in, a request to another window among them.
    if (watches.queued.empty() && watches.notify != nullptr) {
        ::PostMessageW(watches.notify, watches.message, 0, 0);
    }
    watches.queued.push_back({window, change});
}

}  // namespace

bool WatchWindowsOfProcess(HWND notify, UINT message, DWORD processId) {
    Watches& watches = TheWatches();
    watches.notify = notify;
    watches.message = message;
    const bool watched = std::any_of(watches.byProcess.begin(), watches.byProcess.end(),
                                     [&](const Watch& w) { return w.processId == processId; });
    if (watched) {
        return true;
    }
    // DESTROY, SHOW and HIDE are consecutive event numbers: one hook.
    handles::unique_hwineventhook hook(::SetWinEventHook(EVENT_OBJECT_DESTROY, EVENT_OBJECT_HIDE, nullptr,
                                                         &OnWinEvent, processId, 0,
                                                         WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
    if (!hook) {
        return false;
    }
    watches.byProcess.push_back({processId, std::move(hook)});
    return true;
}

void StopWatchingWindowsOfProcess(DWORD processId) {
    std::erase_if(TheWatches().byProcess, [&](const Watch& w) { return w.processId == processId; });
}

std::vector<WindowEvent> TakeQueuedWindowEvents() {
    return std::exchange(TheWatches().queued, {});
}

}  // namespace platform
