#include "hidden_windows.h"

#include <algorithm>
#include <utility>

#include "relisting.h"
#include "transient_popup.h"
#include "title_cut.h"
#include "wide_text.h"

namespace hider {

// A title is read whole up to the row's length and one unit beyond, so its
// cut can be made at a character boundary.
static_assert(static_cast<std::size_t>(platform::kMaxTitleLength) == kRowTitleLength,
              "titles are read to the length a row shows");

namespace {

constexpr int kImagesAtFirst = 16;
constexpr int kImagesGrowBy = 16;

std::uint64_t HandleValue(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

HWND WindowOf(const WindowIdentity& identity) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(identity.handle));
}

WindowIdentity IdentityOf(HWND window, const platform::WindowFacts& facts) {
    return {HandleValue(window), facts.processId, facts.processStart, facts.threadId, Utf16(facts.className)};
}

}  // namespace

void HiddenWindows::Attach(HWND owner, CListCtrl& list) {
    // A dialog object run again starts from the record, not from the rows of
    // its earlier window.
    m_rows.clear();
    m_orders.Clear();
    m_nCheckIntervalMs = 0;
    m_watched.clear();
    m_newRows.clear();
    m_bDrawingHeld = false;
    m_bCatchUpDue = false;
    m_hOwner = owner;
    m_pList = &list;
    // Full colour with a mask: icons keep their colours and transparency.
    // Small icons at this display's size: 16 pixels at 96 DPI, 24 at 144.
    m_imageList.Create(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK,
                       kImagesAtFirst, kImagesGrowBy);
    list.SetImageList(&m_imageList, LVSIL_SMALL);

    RecordContents recorded = m_record.Load();
    for (std::uint32_t order : recorded.takenOrders) {
        m_orders.Take(order);
    }
    for (const RecordEntry& entry : recorded.entries) {
        m_orders.Take(entry.order);
    }
    std::map<std::uint32_t, RecordEntry> loaded;
    for (const RecordEntry& entry : recorded.entries) {
        loaded[entry.order] = entry;
    }
    const Relisting relisting = DecideRelisting(std::move(recorded.entries), [this](std::uint64_t handle) {
        std::optional<WindowNow> now;
        HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
        if (HandleValue(window) == handle) {
            if (auto identity = IdentityNow(window)) {
                now = WindowNow{std::move(*identity), m_services.IsShown(window)};
            }
        }
        return now;
    });
    for (std::uint32_t order : relisting.dropped) {
        m_record.Remove(order);
        m_orders.Free(order);
    }
    // Hidden with an owner that is no longer listed: they come back now.
    for (const WindowIdentity& owned : relisting.giveBack) {
        m_services.ShowTarget(WindowOf(owned), false);
    }
    for (const RecordEntry& entry : relisting.rows) {
        // The record keeps no title: the window is asked again.
        HWND window = WindowOf(entry.window);
        const std::u16string title(CutTitle(Utf16(m_services.WindowTitle(window)), kRowTitleLength));
        const int added = AddIconOf(window);
        // Hidden before this run began: any show reported from now on is its program's.
        Row row{{entry.window, true, true}, {}, 0, nullptr, false, added >= 0 ? added : I_IMAGENONE};
        for (const WindowIdentity& owned : entry.owned) {
            row.owned.push_back({owned, true, true});
        }
        if (entry.active > 0 && entry.active <= entry.owned.size()) {
            row.active = entry.owned[entry.active - 1].handle;
        }
        if (!InsertRow(entry.order, row, title)) {
            // Without a row nothing could show it again: give it back now.
            RemoveImage(row.image);
            ShowWindowsOf(row, false);
            m_record.Remove(entry.order);
            m_orders.Free(entry.order);
        } else if (loaded[entry.order] != entry) {
            m_record.Add(entry);  // without the owned windows that are no longer held
        }
    }
    RunCheckTimerWhileListed();
    if (m_rows.empty()) {
        m_record.RemoveIfEmpty();
    }
}

std::optional<WindowIdentity> HiddenWindows::IdentityNow(HWND window) {
    if (auto facts = m_services.DescribeWindow(window)) {
        return IdentityOf(window, *facts);
    }
    return std::nullopt;
}

bool HiddenWindows::StillNames(const WindowIdentity& identity) {
    const std::optional<WindowIdentity> now = IdentityNow(WindowOf(identity));
    return now && IsSameWindow(identity, *now);
}

HiddenWindows::Rows::iterator HiddenWindows::RowOfWindow(const WindowIdentity& identity) {
    return std::find_if(m_rows.begin(), m_rows.end(),
                        [&](const auto& entry) { return IsSameWindow(entry.second.window.identity, identity); });
}

RecordEntry HiddenWindows::EntryOf(std::uint32_t order, const Row& row) const {
    RecordEntry entry{order, row.window.identity, {}, 0};
    for (const Held& owned : row.owned) {
        entry.owned.push_back(owned.identity);
        if (owned.identity.handle == row.active) {
            entry.active = static_cast<std::uint32_t>(entry.owned.size());
        }
    }
    return entry;
}

HideResult HiddenWindows::Hide(HWND target, const platform::WindowFacts& facts) {
    if (m_pList == nullptr) {
        return HideResult::NotHidden;
    }
    const WindowIdentity identity = IdentityOf(target, facts);
    if (const auto listed = RowOfWindow(identity); listed != m_rows.end()) {
        return HideAgain(listed->first, listed->second);
    }
    const std::optional<std::uint32_t> order = m_orders.Next();
    if (!order) {
        return HideResult::NotRecorded;
    }
    const std::u16string title(CutTitle(Utf16(m_services.WindowTitle(target)), kRowTitleLength));

    // The user waits for the window to go, not for the list: under Wine each
    // redraw of the list (its rows, header and scroll bar) takes milliseconds,
    // and the icon request waits on the target's own thread.
    HoldDrawing();
    HideResult result = HideResult::NotHidden;
    // Which window of its group the user was in: it is active again at the
    // restore. Read before the hide moves the activation on.
    Row fresh{{identity, false}, {}, 0, m_services.ForegroundWindow(), false, I_IMAGENONE};
    fresh.wasActive = fresh.foregroundAtHide == target;
    if (InsertRow(*order, fresh, title)) {
        // Recorded before it goes, so that no end of Veilkeeper loses it.
        if (!m_record.Add({*order, identity, {}})) {
            RemoveRow(0, *order);
            result = HideResult::NotRecorded;
        } else if (!m_services.HideTarget(target)) {
            RemoveRow(0, *order);  // it stayed on screen: it needs no row
        } else {
            // The windows it owns stay on screen until told: the catch-up
            // looks for them, once the target has had its moment to go.
            m_newRows.push_back(*order);
            result = HideResult::Hidden;
        }
    }
    if (!ScheduleCatchUp() && result == HideResult::Hidden) {
        result = HideResult::NotRecorded;
    }
    return result;
}

HideResult HiddenWindows::HideAgain(std::uint32_t order, Row& row) {
    // Its program showed it again before Veilkeeper heard of it: it goes
    // under the row it has.
    row.window.seenHidden = false;
    row.window.hideReported = false;
    row.foregroundAtHide = m_services.ForegroundWindow();
    row.wasActive = row.foregroundAtHide == WindowOf(row.window.identity);
    if (!m_services.HideTarget(WindowOf(row.window.identity))) {
        return HideResult::NotHidden;
    }
    m_newRows.push_back(order);  // its owned windows, and seen gone
    return ScheduleCatchUp() ? HideResult::Hidden : HideResult::NotRecorded;
}

bool HiddenWindows::HideOwnedWindows(std::uint32_t order, Row& row) {
    std::vector<Held> found;
    std::vector<HWND> transient;
    for (const platform::OwnedWindow& owned : m_services.OwnedWindows(WindowOf(row.window.identity))) {
        if (!owned.visible) {
            continue;
        }
        auto identity = IdentityNow(owned.window);
        if (!identity) {
            continue;
        }
        if (IsTransientPopup(identity->className, owned.style, owned.exStyle)) {
            transient.push_back(owned.window);
        } else if (found.size() < kMaxOwnedWindows) {
            found.push_back({std::move(*identity), false});
        }
    }
    // Shown ones above those still hidden from an earlier hide.
    std::vector<Held> owned = found;
    for (const Held& earlier : row.owned) {
        const bool again = std::any_of(found.begin(), found.end(),
                                       [&](const Held& w) { return IsSameWindow(earlier.identity, w.identity); });
        if (!again && owned.size() < kMaxOwnedWindows) {
            owned.push_back(earlier);
        }
    }
    HWND foreground = std::exchange(row.foregroundAtHide, nullptr);
    std::uint64_t active = row.active;
    if (foreground != nullptr) {
        const bool isOwned = std::any_of(owned.begin(), owned.end(),
                                         [&](const Held& w) { return w.identity.handle == HandleValue(foreground); });
        if (isOwned || foreground == WindowOf(row.window.identity)) {
            active = isOwned ? HandleValue(foreground) : 0;
        }
    }
    if (!found.empty() || active != row.active) {
        Row updated = row;
        updated.owned = owned;
        updated.active = active;
        if (!m_record.Add(EntryOf(order, updated))) {
            return false;
        }
        row = std::move(updated);
    }
    for (const Held& window : found) {
        m_services.HideTarget(WindowOf(window.identity));
    }
    // Pop-ups of the moment go with their owner, and are not held.
    for (HWND popup : transient) {
        m_services.HideTarget(popup);
    }
    WatchProcessesOfRows();
    return true;
}

bool HiddenWindows::ShowWindowsOf(const Row& row, bool inFront) {
    if (!m_services.ShowTarget(WindowOf(row.window.identity), inFront)) {
        return false;
    }
    m_shownNow.push_back({row.window.identity.handle, row.wasActive});
    ShowOwnedWindowsOf(row);
    return true;
}

void HiddenWindows::ShowOwnedWindowsOf(const Row& row) {
    // In their old stacking order, none activated: the one to be active is
    // chosen afterwards. One its program closed meanwhile simply stays gone.
    for (auto owned = row.owned.rbegin(); owned != row.owned.rend(); ++owned) {
        if (StillNames(owned->identity) && m_services.ShowTarget(WindowOf(owned->identity), false)) {
            m_shownNow.push_back({owned->identity.handle, false});
        }
    }
}

void HiddenWindows::BringGroupToFront(const Row& row) {
    // The user acted in Veilkeeper's window, which so has the foreground to
    // give. The window that was active, if it came back; else the row's own.
    HWND owner = WindowOf(row.window.identity);
    HWND front = owner;
    if (row.active != 0 && std::any_of(row.owned.begin(), row.owned.end(),
                                       [&](const Held& w) { return w.identity.handle == row.active; })) {
        front = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(row.active));
    }
    if (const bool ownerHeld = !m_services.IsEnabled(owner); ownerHeld || !m_services.IsEnabled(front)) {
        front = EnabledWindowOfGroup(owner, front, ownerHeld);
    }
    m_services.BringToFront(front);
    m_shownNow.clear();
}

HWND HiddenWindows::EnabledWindowOfGroup(HWND owner, HWND front, bool ownerHeld) {
    // A window under a modal dialog takes no input: the enabled window of the
    // group that is no pop-up of the moment. What this restore gave back
    // (its shows may still be on their way) before what is on screen already.
    const std::vector<platform::OwnedWindow> owned = m_services.OwnedWindows(owner);
    const auto pick = [&](auto&& wanted) -> HWND {
        for (const platform::OwnedWindow& window : owned) {
            const auto shown = std::find_if(m_shownNow.begin(), m_shownNow.end(),
                                            [&](const ShownNow& s) { return s.handle == HandleValue(window.window); });
            if (!wanted(shown == m_shownNow.end() ? nullptr : &*shown, window) || (window.style & WS_DISABLED) != 0) {
                continue;
            }
            const auto identity = IdentityNow(window.window);
            if (identity && !IsTransientPopup(identity->className, window.style, window.exStyle)) {
                return window.window;
            }
        }
        return nullptr;
    };
    // With the owner disabled, the dialog that holds it is the one the user
    // was in when it was hidden, whatever took the activation after it went
    // (a Find box of the same owner, say).
    if (ownerHeld) {
        if (HWND dialog = pick([](const ShownNow* s, const platform::OwnedWindow&) { return s && s->wasActive; })) {
            return dialog;
        }
    }
    if (m_services.IsEnabled(front)) {
        return front;
    }
    if (HWND dialog = pick([](const ShownNow* s, const platform::OwnedWindow&) { return s != nullptr; })) {
        return dialog;
    }
    if (HWND other = pick([](const ShownNow* s, const platform::OwnedWindow& w) { return s == nullptr && w.visible; })) {
        return other;
    }
    return front;
}

bool HiddenWindows::ScheduleCatchUp() {
    // One catch-up for every hide before it comes; at once when its timer
    // cannot be set.
    if (!m_bCatchUpDue) {
        m_bCatchUpDue = ::SetTimer(m_hOwner, kCatchUpTimerId, kCatchUpDelayMs, nullptr) != 0;
        if (!m_bCatchUpDue) {
            return CatchUp();
        }
    }
    return true;
}

void HiddenWindows::HoldDrawing() {
    if (!m_bDrawingHeld) {
        m_pList->SendMessage(WM_SETREDRAW, FALSE);
        m_bDrawingHeld = true;
    }
}

bool HiddenWindows::CatchUp() {
    if (std::exchange(m_bCatchUpDue, false)) {
        ::KillTimer(m_hOwner, kCatchUpTimerId);
    }
    if (m_pList == nullptr || m_pList->m_hWnd == nullptr) {
        return true;
    }
    bool recorded = true;
    for (std::uint32_t order : std::exchange(m_newRows, {})) {
        const auto found = m_rows.find(order);
        if (found == m_rows.end()) {
            continue;  // given back already
        }
        Row& row = found->second;
        HWND window = WindowOf(row.window.identity);
        recorded = HideOwnedWindows(order, row) && recorded;
        // Gone by now, unless its program hangs: from here on a visible
        // window is one its program showed again.
        row.window.seenHidden = row.window.seenHidden || !m_services.IsShown(window);
        if (row.image != I_IMAGENONE) {
            continue;
        }
        const int added = AddIconOf(window);
        if (added < 0) {
            continue;
        }
        if (SetRowImage(order, added)) {
            row.image = added;
        } else {
            RemoveImage(added);
        }
    }
    if (m_bDrawingHeld) {
        m_bDrawingHeld = false;
        m_pList->SendMessage(WM_SETREDRAW, TRUE);
    }
    return recorded;
}

int HiddenWindows::AddIconOf(HWND window) {
    HICON icon = m_services.WindowIcon(window);
    return icon != nullptr ? m_imageList.Add(icon) : -1;
}

bool HiddenWindows::SetRowImage(std::uint32_t order, int image) {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(order);
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = m_pList->FindItem(&find);
    item.iImage = image;
    return item.iItem >= 0 && m_pList->SetItem(&item);
}

bool HiddenWindows::InsertRow(std::uint32_t order, const Row& row, std::u16string_view title) {
    std::wstring text = Wide(title);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = 0;
    item.pszText = text.data();
    item.iImage = row.image;
    item.lParam = static_cast<LPARAM>(order);
    if (m_pList->InsertItem(&item) < 0) {
        return false;
    }
    m_rows[order] = row;
    m_orders.Take(order);
    WatchProcessesOfRows();
    return true;
}

std::optional<std::uint32_t> HiddenWindows::OrderOfRow(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (m_pList == nullptr || row < 0 || !m_pList->GetItem(&item)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(item.lParam);
}

RestoreResult HiddenWindows::Restore(int row, bool inFront) {
    const std::optional<std::uint32_t> order = OrderOfRow(row);
    if (!order) {
        return RestoreResult::NoRow;
    }
    if (WindowOfRow(row) == nullptr) {
        return RestoreResult::Dropped;  // its row went
    }
    if (inFront) {
        return EndRow(row, *order, RowEnd::RestoredByUser) ? RestoreResult::Shown : RestoreResult::Kept;
    }
    return EndRow(row, *order, RowEnd::RestoredAtEnd) ? RestoreResult::Shown : RestoreResult::Kept;
}

void HiddenWindows::RestoreAll() {
    if (m_pList == nullptr || m_pList->m_hWnd == nullptr) {
        return;
    }
    // A window its program took back since the last look is not shown
    // again; what it owned and Veilkeeper holds comes back with it.
    OnWindowEvents();
    CheckRows(true);
    m_shownNow.clear();
    // All come back where they were, none activated; then the newest row's
    // active window takes the foreground, once every modal dialog is back.
    std::optional<Row> newest;
    int row = 0;
    while (row < m_pList->GetItemCount()) {
        const std::optional<std::uint32_t> order = OrderOfRow(row);
        const auto found = order ? m_rows.find(*order) : m_rows.end();
        std::optional<Row> shown;
        if (found != m_rows.end() && !newest) {
            shown = found->second;
        }
        const RestoreResult result = Restore(row, false);
        if (result == RestoreResult::Shown && shown) {
            newest = std::move(shown);
        } else if (result == RestoreResult::Kept || result == RestoreResult::NoRow) {
            ++row;
        }
    }
    if (newest) {
        BringGroupToFront(*newest);
    }
}

bool HiddenWindows::EndRow(int listRow, std::uint32_t order, RowEnd end) {
    const auto found = m_rows.find(order);
    if (found != m_rows.end()) {
        const Row& row = found->second;
        switch (end) {
            case RowEnd::RestoredByUser:
                m_shownNow.clear();
                if (!ShowWindowsOf(row, true)) {
                    return false;
                }
                BringGroupToFront(row);
                break;
            case RowEnd::RestoredAtEnd:
                if (!ShowWindowsOf(row, false)) {
                    return false;
                }
                break;
            case RowEnd::ShownByProgram:
            case RowEnd::Destroyed:
                // Its program expects the windows it owns with it; a destroyed
                // window's owned windows went with it, and are not shown.
                ShowOwnedWindowsOf(row);
                break;
        }
    }
    RemoveRow(listRow, order);
    return true;
}

int HiddenWindows::ListRowOf(std::uint32_t order) const {
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(order);
    return m_pList != nullptr ? m_pList->FindItem(&find) : -1;
}

HWND HiddenWindows::WindowOfRow(int row) {
    const std::optional<std::uint32_t> order = OrderOfRow(row);
    if (!order) {
        return nullptr;
    }
    const auto found = m_rows.find(*order);
    if (found == m_rows.end() || !StillNames(found->second.window.identity)) {
        EndRow(row, *order, RowEnd::Destroyed);
        return nullptr;
    }
    return WindowOf(found->second.window.identity);
}

void HiddenWindows::DropStaleRows() {
    CheckRows(true);
}

HiddenWindows::HeldNow HiddenWindows::LookAt(Held& held) {
    HWND window = WindowOf(held.identity);
    // Runs twice a second: the cheap look first. A handle that names a
    // window of the same thread is the same window here; only when it does
    // not is the whole identity asked, for a console window whose reported
    // process changed.
    if (!m_services.IsWindowOfThread(window, held.identity.processId, held.identity.threadId)) {
        const std::optional<WindowIdentity> now = IdentityNow(window);
        if (!now || !IsSameWindow(held.identity, *now)) {
            return HeldNow::Gone;
        }
        held.identity = *now;
    }
    if (!m_services.IsShown(window)) {
        held.seenHidden = true;
    } else if (held.seenHidden) {
        return HeldNow::ShownByProgram;
    }
    return HeldNow::Hidden;
}

void HiddenWindows::CheckRows(bool all) {
    if (m_pList == nullptr || m_pList->m_hWnd == nullptr) {
        return;
    }
    std::vector<std::uint32_t> orders;
    for (const auto& [order, row] : m_rows) {
        if (all || !EventsComeFor(row)) {
            orders.push_back(order);
        }
    }
    for (std::uint32_t order : orders) {
        const auto found = m_rows.find(order);
        const int listRow = ListRowOf(order);
        if (found == m_rows.end() || listRow < 0) {
            continue;
        }
        Row& row = found->second;
        for (std::size_t n = row.owned.size(); n-- > 0;) {
            if (LookAt(row.owned[n]) != HeldNow::Hidden) {
                LetGoOwned(order, row, n);  // gone, or its program's now
            }
        }
        switch (LookAt(row.window)) {
            case HeldNow::Hidden: break;
            case HeldNow::Gone: EndRow(listRow, order, RowEnd::Destroyed); break;
            case HeldNow::ShownByProgram: EndRow(listRow, order, RowEnd::ShownByProgram); break;
        }
    }
    // Rows no longer in the list (a failed removal) are not kept either.
    for (int listRow = m_pList->GetItemCount() - 1; listRow >= 0; --listRow) {
        const std::optional<std::uint32_t> order = OrderOfRow(listRow);
        if (order && m_rows.find(*order) == m_rows.end()) {
            RemoveRow(listRow, *order);
        }
    }
}

void HiddenWindows::LetGoOwned(std::uint32_t order, Row& row, std::size_t index) {
    Row updated = row;
    updated.owned.erase(updated.owned.begin() + static_cast<std::ptrdiff_t>(index));
    // Should the write fail, the entry names one window more than the row:
    // a start finds it gone or shown, and leaves it.
    m_record.Add(EntryOf(order, updated));
    row = std::move(updated);
    WatchProcessesOfRows();
}

void HiddenWindows::OnWindowEvents() {
    for (const platform::WindowEvent& event : m_services.TakeWindowEvents()) {
        OnWindowEvent(event);
    }
}

void HiddenWindows::OnWindowEvent(const platform::WindowEvent& event) {
    const std::uint64_t handle = HandleValue(event.window);
    for (auto& [order, row] : m_rows) {
        const bool own = row.window.identity.handle == handle;
        const auto owned = std::find_if(row.owned.begin(), row.owned.end(),
                                        [&](const Held& w) { return w.identity.handle == handle; });
        if (!own && owned == row.owned.end()) {
            continue;
        }
        Held& held = own ? row.window : *owned;
        const std::uint32_t rowOrder = order;
        switch (event.change) {
            case platform::WindowChange::Hidden:
                // Its program reports our hide: from now on its events are enough.
                held.seenHidden = true;
                held.hideReported = true;
                m_watched[held.identity.processId] = true;
                RunCheckTimerWhileListed();
                return;
            case platform::WindowChange::Shown:
                // A show reported before our hide was is older than it, or
                // our hide is still on its way: not its program's taking back.
                if (!held.hideReported) {
                    return;
                }
                break;
            case platform::WindowChange::Destroyed:
                break;
        }
        if (own) {
            EndRow(ListRowOf(rowOrder), rowOrder,
                   event.change == platform::WindowChange::Shown ? RowEnd::ShownByProgram : RowEnd::Destroyed);
        } else {
            LetGoOwned(rowOrder, row, static_cast<std::size_t>(owned - row.owned.begin()));
        }
        return;
    }
}

bool HiddenWindows::EventsComeFor(const Row& row) const {
    const auto comes = [&](const Held& held) {
        const auto found = m_watched.find(held.identity.processId);
        return found != m_watched.end() && found->second;
    };
    return comes(row.window) && std::all_of(row.owned.begin(), row.owned.end(), comes);
}

void HiddenWindows::WatchProcessesOfRows() {
    std::map<DWORD, bool> wanted;
    for (const auto& [order, row] : m_rows) {
        wanted.emplace(row.window.identity.processId, false);
        for (const Held& owned : row.owned) {
            wanted.emplace(owned.identity.processId, false);
        }
    }
    for (auto& [process, comes] : wanted) {
        const auto found = m_watched.find(process);
        if (found != m_watched.end()) {
            comes = found->second;
        } else if (m_hOwner != nullptr) {
            // A watch that cannot be set leaves the process to the check.
            m_services.WatchProcessWindows(m_hOwner, kWindowEventsMessage, process);
        }
    }
    for (const auto& [process, comes] : m_watched) {
        if (wanted.find(process) == wanted.end()) {
            m_services.StopWatchingProcessWindows(process);
        }
    }
    m_watched = std::move(wanted);
    RunCheckTimerWhileListed();
}

void HiddenWindows::RemoveRow(int row, std::uint32_t order) {
    if (!m_pList->DeleteItem(row)) {
        return;
    }
    m_record.Remove(order);
    m_orders.Free(order);
    const auto found = m_rows.find(order);
    if (found != m_rows.end()) {
        const int image = found->second.image;
        m_rows.erase(found);
        RemoveImage(image);
    }
    WatchProcessesOfRows();
    if (m_rows.empty()) {
        m_record.RemoveIfEmpty();  // no trace once nothing is hidden
    }
}

void HiddenWindows::RemoveImage(int image) {
    const int last = m_imageList.GetImageCount() - 1;
    if (image < 0 || image > last) {
        return;
    }
    // The last image moves into the freed slot, so one row changes index
    // rather than every row after it, and the list then drops its last slot.
    if (image != last) {
        const auto moved = std::find_if(m_rows.begin(), m_rows.end(),
                                        [last](const auto& entry) { return entry.second.image == last; });
        if (!m_imageList.Copy(image, last)) {
            return;
        }
        if (moved != m_rows.end()) {
            moved->second.image = image;
            SetRowImage(moved->first, image);
        }
    }
    m_imageList.SetImageCount(last);
}

TimerResult HiddenWindows::OnTimer(UINT_PTR id) {
    if (id == kCheckTimerId) {
        // On a quiet tick every row is looked at, for windows that went
        // without a word (a killed program's); otherwise only the rows whose
        // events do not come.
        const bool quiet = m_nCheckIntervalMs == kQuietCheckIntervalMs ||
                           ++m_nQuietTicks >= static_cast<int>(kQuietCheckIntervalMs / kCheckIntervalMs);
        if (quiet) {
            m_nQuietTicks = 0;
        }
        CheckRows(quiet);
        return TimerResult::Done;
    }
    if (id == kCatchUpTimerId) {
        return CatchUp() ? TimerResult::Done : TimerResult::OwnedWindowsStayed;
    }
    return TimerResult::NotMine;
}

void HiddenWindows::RunCheckTimerWhileListed() {
    // Nothing to look after while nothing is hidden: no timer runs then.
    UINT wanted = 0;
    if (!m_rows.empty() && m_hOwner != nullptr) {
        const bool allReport = std::all_of(m_rows.begin(), m_rows.end(),
                                           [&](const auto& entry) { return EventsComeFor(entry.second); });
        wanted = allReport ? kQuietCheckIntervalMs : kCheckIntervalMs;
    }
    if (wanted == m_nCheckIntervalMs) {
        return;
    }
    if (wanted == 0) {
        ::KillTimer(m_hOwner, kCheckTimerId);
        m_nCheckIntervalMs = 0;
    } else {
        // Setting it again changes its interval.
        m_nCheckIntervalMs = ::SetTimer(m_hOwner, kCheckTimerId, wanted, nullptr) != 0 ? wanted : 0;
    }
}

}  // namespace hider
