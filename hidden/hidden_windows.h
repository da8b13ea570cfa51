// The hidden windows: the list's rows, their images, and the durable record
// behind them. Every row has exactly one image slot (or none) and one entry in
// the record, added and removed together with the row. A row stands for a
// window and the windows it owned when it was hidden: they go and come back
// together. A row ends in one place (EndRow), in one of the ways RowEnd
// names, and every end gives back what Veilkeeper still holds hidden.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "framework.h"
#include "record_entry.h"
#include "record_orders.h"
#include "window_record.h"
#include "window_services.h"

namespace hider {

enum class HideResult {
    Hidden,       // listed (or listed already) and told to hide
    NotHidden,    // no row could be made, or the window could not be told: it stays as it is
    NotRecorded,  // the record could not be written: what it would have held stays on screen
};

enum class RestoreResult {
    Shown,    // the window was asked to show; its row is gone
    Dropped,  // the window is gone, or its handle names another window now: row gone, nothing shown
    Kept,     // the show request could not be made: the row stays
    NoRow,    // no such row
};

// How a row ends: each gives back every window of the row that Veilkeeper
// hid and still holds hidden, and shows nothing else.
enum class RowEnd {
    RestoredByUser,  // the row's window and its owned windows, in front
    RestoredAtEnd,   // the same, by Exit or any other end of Veilkeeper
    ShownByProgram,  // its program showed the window: the owned windows come back with it
    Destroyed,       // the window is gone (its handle may name another now)
};

enum class TimerResult {
    NotMine,             // another timer
    Done,
    OwnedWindowsStayed,  // the catch-up left owned windows on screen: the record would not take them
};

class HiddenWindows {
public:
    // The timer, on the list's owner, that looks for windows closed or shown
    // by their own programs while listed; it runs only while there are rows.
    static constexpr UINT_PTR kCheckTimerId = 0x564B;
    // While a row's process has not shown that its windows' events come,
    // its windows are looked at this often.
    static constexpr UINT kCheckIntervalMs = 500;
    // Otherwise only a killed program's windows, which may go without a
    // word, need a look now and then.
    static constexpr UINT kQuietCheckIntervalMs = 10'000;
    // Posted to the list's owner when window events are queued: OnWindowEvents.
    static constexpr UINT kWindowEventsMessage = WM_APP + 0x564;
    // The timer, on the list's owner, a hide sets for CatchUp: a moment
    // later, so that the target hides without the main window's work
    // competing with it (its icon is asked of the target's own thread).
    static constexpr UINT_PTR kCatchUpTimerId = 0x564C;
    static constexpr UINT kCatchUpDelayMs = 15;

    HiddenWindows(platform::WindowServices& services, WindowRecord& record) : m_services(services), m_record(record) {}

    // Takes over the list of `owner`, gives it its image list, and lists again
    // the recorded windows that are still hidden (after an end without Exit).
    void Attach(HWND owner, CListCtrl& list);

    // Lists `target`, described by `facts`, on top and hides it. A window is
    // hidden only once its row and its record entry exist: nothing could
    // bring it back otherwise. A window listed already is hidden again under
    // its row. The windows it owns, the row's icon and the list's drawing
    // follow in CatchUp.
    HideResult Hide(HWND target, const platform::WindowFacts& facts);
    // The work hides left for after them, once for all hides since the last
    // catch-up: the windows the new rows' windows own go with them, the rows'
    // icons come, and the list is drawn again. False when owned windows stayed
    // on screen because the record would not take them.
    bool CatchUp();
    // Shows a row's window, then the windows it owned, and removes the row,
    // as RestoreResult says. `inFront`: they come back active, on top.
    RestoreResult Restore(int row, bool inFront);
    // Restores every row, newest first, the newest in front. A row whose show
    // could not be made stays, with its record entry, so nothing is lost.
    void RestoreAll();
    // The row's window when its handle still names it; otherwise the row is
    // removed and the result is none.
    HWND WindowOfRow(int row);
    // Removes, without showing anything, the rows of windows closed since,
    // and of windows their own programs showed again: those are theirs now.
    void DropStaleRows();

    // WM_TIMER of the list's owner: runs the check or the catch-up when the
    // timer is one of these.
    TimerResult OnTimer(UINT_PTR id);
    // kWindowEventsMessage: what the listed windows' programs did, as it
    // happened. A show by its program, however brief, gives a row up.
    void OnWindowEvents();

    int Count() const { return static_cast<int>(m_rows.size()); }

private:
    // A window Veilkeeper hid and holds hidden.
    struct Held {
        WindowIdentity identity;
        // Seen hidden since the hide was asked for (its event came, or a
        // look found it so): only then does a show mean that its program
        // showed it. Until then a visible window may be a hung program's.
        bool seenHidden = false;
        // Its hide was reported since the hide was asked for. Events come in
        // order: a show reported before it is older than the hide (Veilkeeper's
        // own restore, say), only one after it is its program's.
        bool hideReported = false;
    };
    struct Row {
        Held window;  // the one place a row's window is kept
        std::vector<Held> owned;  // hidden with it and to come back, top first
        // The handle of the window that was active when it was hidden; 0:
        // the row's own window.
        std::uint64_t active = 0;
        HWND foregroundAtHide = nullptr;  // until the catch-up decides `active`
        // The row's own window was the active one when it was hidden: with
        // its owner disabled, it is the modal dialog that holds it. Known
        // only in the run that hid it.
        bool wasActive = false;
        int image = I_IMAGENONE;
    };
    using Rows = std::map<std::uint32_t, Row>;  // by order, the row's item data

    // The identity of `window` now; none when no window has the handle.
    std::optional<WindowIdentity> IdentityNow(HWND window);
    bool StillNames(const WindowIdentity& identity);
    Rows::iterator RowOfWindow(const WindowIdentity& identity);
    // Hides the windows the row's window owns now and adds them to its row
    // and record, but for transient pop-ups, which are hidden and let go;
    // whether the record took them (else they stay on screen).
    bool HideOwnedWindows(std::uint32_t order, Row& row);
    HideResult HideAgain(std::uint32_t order, Row& row);
    // The one place a row ends: gives back what `end` says, then removes the
    // row, its image and its entry. False, and the row stays, when its
    // window was to be shown and could not be told.
    bool EndRow(int row, std::uint32_t order, RowEnd end);
    // Asks the row's window, then each window it owned that is still the
    // same, bottom first, to show; whether the row's own window could be told.
    bool ShowWindowsOf(const Row& row, bool inFront);
    void ShowOwnedWindowsOf(const Row& row);
    // Makes the window of the row that was active when it was hidden the
    // active one again; an enabled modal dialog rather than its disabled owner.
    void BringGroupToFront(const Row& row);
    // The window of `owner`'s group to take the activation instead of
    // `front`: `ownerHeld`, a modal dialog disables the owner.
    HWND EnabledWindowOfGroup(HWND owner, HWND front, bool ownerHeld);
    // The entry that stands for the row.
    RecordEntry EntryOf(std::uint32_t order, const Row& row) const;
    // The list row of an order; -1 when there is none.
    int ListRowOf(std::uint32_t order) const;
    // Looks at the rows whose programs' events do not come (all of them on
    // a quiet tick): closed, or shown again by their programs.
    void CheckRows(bool all);
    // What is known of a held window now: whether it is gone, and whether its
    // program showed it after it was seen hidden.
    enum class HeldNow { Hidden, Gone, ShownByProgram };
    HeldNow LookAt(Held& held);
    // A window of the row that is gone or its program's now leaves it, and
    // its entry.
    void LetGoOwned(std::uint32_t order, Row& row, std::size_t index);
    void OnWindowEvent(const platform::WindowEvent& event);
    // The processes that own rows are watched, and only they.
    void WatchProcessesOfRows();
    bool EventsComeFor(const Row& row) const;
    // The row's record order (its item data); none when it cannot be read.
    std::optional<std::uint32_t> OrderOfRow(int row) const;
    // The window's icon added to the image list: its index, or -1 for none.
    int AddIconOf(HWND window);
    // Points the row of `order` at an image; whether the row was there.
    bool SetRowImage(std::uint32_t order, int image);
    bool InsertRow(std::uint32_t order, const Row& row, std::u16string_view title);
    void RemoveRow(int row, std::uint32_t order);
    void RemoveImage(int image);
    // The check timer runs while there are rows, and only then; often only
    // while some row's events do not come.
    void RunCheckTimerWhileListed();
    // False when the catch-up, made at once for want of a timer, was.
    bool ScheduleCatchUp();
    // Stops the list's drawing until the next catch-up.
    void HoldDrawing();

    platform::WindowServices& m_services;
    WindowRecord& m_record;
    HWND m_hOwner = nullptr;
    CListCtrl* m_pList = nullptr;
    CImageList m_imageList;
    Rows m_rows;
    RecordOrders m_orders;
    UINT m_nCheckIntervalMs = 0;  // 0: no check timer
    int m_nQuietTicks = 0;
    // The processes watched, and whether their windows' events were seen to
    // come (our own hide of one of their windows was reported).
    std::map<DWORD, bool> m_watched;
    // The windows the restore under way asked to show: their shows may still
    // be on their way when the one to activate is chosen.
    struct ShownNow {
        std::uint64_t handle = 0;
        bool wasActive = false;  // its own row's window, active when hidden
    };
    std::vector<ShownNow> m_shownNow;
    std::vector<std::uint32_t> m_newRows;  // rows, by order, hidden since the last catch-up
    bool m_bDrawingHeld = false;
    bool m_bCatchUpDue = false;
};

}  // namespace hider
