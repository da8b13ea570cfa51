#include "hidden_windows.h"

#include <algorithm>
#include <utility>

#include "relisting.h"
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
    m_bChecking = false;
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
    for (const RecordEntry& entry : relisting.rows) {
        // The record keeps no title: the window is asked again.
        HWND window = WindowOf(entry.window);
        const std::u16string title(CutTitle(Utf16(m_services.WindowTitle(window)), kRowTitleLength));
        const int added = AddIconOf(window);
        const Row row{entry.window, entry.owned, added >= 0 ? added : I_IMAGENONE, true};
        if (!InsertRow(entry.order, row, title)) {
            // Without a row nothing could show it again: give it back now.
            RemoveImage(row.image);
            ShowWindowsOf(row, false);
            m_record.Remove(entry.order);
            m_orders.Free(entry.order);
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
                        [&](const auto& entry) { return IsSameWindow(entry.second.window, identity); });
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
    if (InsertRow(*order, Row{identity, {}, I_IMAGENONE, false}, title)) {
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
    // Its program showed it again: it goes under the row it has.
    row.seenHidden = false;
    if (!m_services.HideTarget(WindowOf(row.window))) {
        return HideResult::NotHidden;
    }
    m_newRows.push_back(order);  // its owned windows, and seen gone
    return ScheduleCatchUp() ? HideResult::Hidden : HideResult::NotRecorded;
}

bool HiddenWindows::HideOwnedWindows(std::uint32_t order, Row& row) {
    std::vector<WindowIdentity> found;
    for (HWND owned : m_services.OwnedWindows(WindowOf(row.window))) {
        if (found.size() == kMaxOwnedWindows) {
            break;
        }
        if (auto identity = IdentityNow(owned)) {
            found.push_back(std::move(*identity));
        }
    }
    if (found.empty()) {
        return true;
    }
    // Shown ones above those still hidden from an earlier hide.
    std::vector<WindowIdentity> owned = found;
    for (const WindowIdentity& earlier : row.owned) {
        const bool again = std::any_of(found.begin(), found.end(),
                                       [&](const WindowIdentity& w) { return IsSameWindow(earlier, w); });
        if (!again && owned.size() < kMaxOwnedWindows) {
            owned.push_back(earlier);
        }
    }
    if (!m_record.Add({order, row.window, owned})) {
        return false;
    }
    row.owned = std::move(owned);
    for (const WindowIdentity& window : found) {
        m_services.HideTarget(WindowOf(window));
    }
    return true;
}

bool HiddenWindows::ShowWindowsOf(const Row& row, bool inFront) {
    HWND top = WindowOf(row.window);
    if (!m_services.ShowTarget(top, inFront)) {
        return false;
    }
    // In their old stacking order: the last one shown ends on top. One its
    // program closed meanwhile simply stays gone.
    for (auto owned = row.owned.rbegin(); owned != row.owned.rend(); ++owned) {
        if (StillNames(*owned) && m_services.ShowTarget(WindowOf(*owned), inFront)) {
            top = WindowOf(*owned);
        }
    }
    // The user acted in Veilkeeper's window, which so has the foreground to
    // give: the window comes back in front and active, a modal dialog of it
    // on top.
    if (inFront) {
        m_services.BringToFront(top);
    }
    return true;
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
        HWND window = WindowOf(row.window);
        recorded = HideOwnedWindows(order, row) && recorded;
        // Gone by now, unless its program hangs: from here on a visible
        // window is one its program showed again.
        row.seenHidden = row.seenHidden || !m_services.IsShown(window);
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
    RunCheckTimerWhileListed();
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
    if (!ShowWindowsOf(m_rows.at(*order), inFront)) {
        return RestoreResult::Kept;
    }
    RemoveRow(row, *order);
    return RestoreResult::Shown;
}

void HiddenWindows::RestoreAll() {
    if (m_pList == nullptr || m_pList->m_hWnd == nullptr) {
        return;
    }
    // A window its program took back since the last check is not shown again.
    DropStaleRows();
    // The newest comes back in front; the others where they were behind it.
    bool inFront = true;
    int row = 0;
    while (row < m_pList->GetItemCount()) {
        const RestoreResult result = Restore(row, inFront);
        if (result == RestoreResult::Shown) {
            inFront = false;
        } else if (result == RestoreResult::Kept || result == RestoreResult::NoRow) {
            ++row;
        }
    }
}

HWND HiddenWindows::WindowOfRow(int row) {
    const std::optional<std::uint32_t> order = OrderOfRow(row);
    if (!order) {
        return nullptr;
    }
    const auto found = m_rows.find(*order);
    if (found == m_rows.end() || !StillNames(found->second.window)) {
        RemoveRow(row, *order);
        return nullptr;
    }
    return WindowOf(found->second.window);
}

void HiddenWindows::DropStaleRows() {
    if (m_pList == nullptr || m_pList->m_hWnd == nullptr) {
        return;
    }
    for (int row = m_pList->GetItemCount() - 1; row >= 0; --row) {
        const std::optional<std::uint32_t> order = OrderOfRow(row);
        if (!order) {
            continue;
        }
        const auto found = m_rows.find(*order);
        if (found == m_rows.end()) {
            RemoveRow(row, *order);
            continue;
        }
        Row& listed = found->second;
        HWND window = WindowOf(listed.window);
        // Runs twice a second: the cheap look first. A handle that names a
        // window of the same thread is the same window here; only when it
        // does not is the whole identity asked, for a console window whose
        // reported process changed.
        if (!m_services.IsWindowOfThread(window, listed.window.processId, listed.window.threadId)) {
            const std::optional<WindowIdentity> now = IdentityNow(window);
            if (!now || !IsSameWindow(listed.window, *now)) {
                RemoveRow(row, *order);
                continue;
            }
            listed.window = *now;
        }
        if (!m_services.IsShown(window)) {
            listed.seenHidden = true;
        } else if (listed.seenHidden) {
            RemoveRow(row, *order);  // its program showed it: it is theirs again
        }
    }
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
    RunCheckTimerWhileListed();
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
        DropStaleRows();
        return TimerResult::Done;
    }
    if (id == kCatchUpTimerId) {
        return CatchUp() ? TimerResult::Done : TimerResult::OwnedWindowsStayed;
    }
    return TimerResult::NotMine;
}

void HiddenWindows::RunCheckTimerWhileListed() {
    // Nothing to look after while nothing is hidden: no timer runs then.
    const bool wanted = !m_rows.empty() && m_hOwner != nullptr;
    if (wanted && !m_bChecking) {
        m_bChecking = ::SetTimer(m_hOwner, kCheckTimerId, kCheckIntervalMs, nullptr) != 0;
    } else if (!wanted && m_bChecking) {
        ::KillTimer(m_hOwner, kCheckTimerId);
        m_bChecking = false;
    }
}

}  // namespace hider
