#include "hidden_windows.h"

#include <algorithm>
#include <utility>

#include "relisting.h"
#include "title_cut.h"
#include "wide_text.h"

namespace hider {

namespace {

constexpr int kImagesAtFirst = 16;
constexpr int kImagesGrowBy = 16;

std::uint64_t HandleValue(HWND window) {
    return reinterpret_cast<std::uintptr_t>(window);
}

HWND WindowOfHandle(std::uint64_t handle) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(handle));
}

WindowIdentity IdentityOf(HWND window, const platform::WindowFacts& facts) {
    return {HandleValue(window), facts.processId, facts.processStart, facts.threadId, Utf16(facts.className)};
}

}  // namespace

void HiddenWindows::Attach(HWND owner, CListCtrl& list) {
    // A dialog object run again starts from the record, not from the rows of
    // its earlier window.
    m_rows.clear();
    m_bChecking = false;
    m_iconsToAsk.clear();
    m_bDrawingHeld = false;
    m_bCatchUpDue = false;
    m_hOwner = owner;
    m_pList = &list;
    // Full colour with a mask: icons keep their colours and transparency.
    // Small icons at this display's size: 16 pixels at 96 DPI, 24 at 144.
    m_imageList.Create(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK,
                       kImagesAtFirst, kImagesGrowBy);
    list.SetImageList(&m_imageList, LVSIL_SMALL);

    std::vector<RecordEntry> recorded = m_record.Load();
    for (const RecordEntry& entry : recorded) {
        m_nextOrder = std::max(m_nextOrder, entry.order + 1);
    }
    const Relisting relisting = DecideRelisting(std::move(recorded), [this](std::uint64_t handle) {
        std::optional<WindowNow> now;
        HWND window = WindowOfHandle(handle);
        if (HandleValue(window) == handle) {
            if (auto identity = IdentityNow(window)) {
                now = WindowNow{std::move(*identity), m_services.IsShown(window)};
            }
        }
        return now;
    });
    for (std::uint32_t order : relisting.dropped) {
        m_record.Remove(order);
    }
    for (const RecordEntry& entry : relisting.rows) {
        HWND window = WindowOfHandle(entry.window.handle);
        const int added = AddIconOf(window);
        const Row row{window, entry.window, added >= 0 ? added : I_IMAGENONE};
        if (!InsertRow(entry.order, row, entry.title)) {
            // Without a row nothing could show it again: give it back now.
            RemoveImage(row.image);
            m_services.ShowTarget(window);
            m_record.Remove(entry.order);
        }
    }
    FollowRowCount();
}

std::optional<WindowIdentity> HiddenWindows::IdentityNow(HWND window) {
    if (auto facts = m_services.DescribeWindow(window)) {
        return IdentityOf(window, *facts);
    }
    return std::nullopt;
}

bool HiddenWindows::StillNames(const Row& row) {
    const std::optional<WindowIdentity> now = IdentityNow(row.window);
    return now && IsSameWindow(row.identity, *now);
}

void HiddenWindows::Hide(HWND target, const platform::WindowFacts& facts) {
    if (m_pList == nullptr) {
        return;
    }
    const Row row{target, IdentityOf(target, facts), I_IMAGENONE};
    const std::u16string title(CutTitle(Utf16(m_services.WindowTitle(target)), kRowTitleLength));
    const std::uint32_t order = m_nextOrder++;

    // The user waits for the window to go, not for the list: under Wine each
    // redraw of the list (its rows, header and scroll bar) takes milliseconds,
    // and the icon request waits on the target's own thread.
    HoldDrawing();
    if (InsertRow(order, row, title)) {
        // Recorded before it goes, so that no end of Veilkeeper loses it.
        m_record.Add({order, row.identity, title});
        if (m_services.HideTarget(target)) {
            m_iconsToAsk.push_back(order);
        } else {
            RemoveRow(0, order);  // it stayed on screen: it needs no row
        }
    }
    FollowRowCount();
    // One catch-up for every hide before it comes; at once when its timer
    // cannot be set.
    if (!m_bCatchUpDue) {
        m_bCatchUpDue = ::SetTimer(m_hOwner, kCatchUpTimerId, kCatchUpDelayMs, nullptr) != 0;
        if (!m_bCatchUpDue) {
            CatchUp();
        }
    }
}

void HiddenWindows::HoldDrawing() {
    if (!m_bDrawingHeld) {
        m_pList->SendMessage(WM_SETREDRAW, FALSE);
        m_bDrawingHeld = true;
    }
}

void HiddenWindows::CatchUp() {
    if (std::exchange(m_bCatchUpDue, false)) {
        ::KillTimer(m_hOwner, kCatchUpTimerId);
    }
    if (m_pList == nullptr || m_pList->m_hWnd == nullptr) {
        return;
    }
    for (std::uint32_t order : std::exchange(m_iconsToAsk, {})) {
        const auto found = m_rows.find(order);
        if (found == m_rows.end() || found->second.image != I_IMAGENONE) {
            continue;  // given back already
        }
        const int added = AddIconOf(found->second.window);
        if (added < 0) {
            continue;
        }
        if (SetRowImage(order, added)) {
            found->second.image = added;
        } else {
            RemoveImage(added);
        }
    }
    if (m_bDrawingHeld) {
        m_bDrawingHeld = false;
        m_pList->SendMessage(WM_SETREDRAW, TRUE);
    }
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

RestoreResult HiddenWindows::Restore(int row) {
    const std::optional<std::uint32_t> order = OrderOfRow(row);
    if (!order) {
        return RestoreResult::NoRow;
    }
    HWND window = WindowOfRow(row);
    if (window == nullptr) {
        return RestoreResult::Dropped;  // its row went
    }
    if (!m_services.ShowTarget(window)) {
        return RestoreResult::Kept;
    }
    RemoveRow(row, *order);
    return RestoreResult::Shown;
}

void HiddenWindows::RestoreAll() {
    if (m_pList == nullptr || m_pList->m_hWnd == nullptr) {
        return;
    }
    int row = 0;
    while (row < m_pList->GetItemCount()) {
        const RestoreResult result = Restore(row);
        if (result == RestoreResult::Kept || result == RestoreResult::NoRow) {
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
    if (found == m_rows.end() || !StillNames(found->second)) {
        RemoveRow(row, *order);
        return nullptr;
    }
    return found->second.window;
}

void HiddenWindows::DropClosed() {
    if (m_pList == nullptr || m_pList->m_hWnd == nullptr) {
        return;
    }
    for (int row = m_pList->GetItemCount() - 1; row >= 0; --row) {
        const std::optional<std::uint32_t> order = OrderOfRow(row);
        if (!order) {
            continue;
        }
        // Runs twice a second: the cheap look only. A handle that names a
        // window of the same thread is the same window here; showing it
        // checks its whole identity first.
        const auto found = m_rows.find(*order);
        if (found == m_rows.end() ||
            !m_services.IsWindowOfThread(found->second.window, found->second.identity.processId,
                                         found->second.identity.threadId)) {
            RemoveRow(row, *order);
        }
    }
}

void HiddenWindows::RemoveRow(int row, std::uint32_t order) {
    if (!m_pList->DeleteItem(row)) {
        return;
    }
    m_record.Remove(order);
    const auto found = m_rows.find(order);
    if (found != m_rows.end()) {
        const int image = found->second.image;
        m_rows.erase(found);
        RemoveImage(image);
    }
    FollowRowCount();
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

void HiddenWindows::FollowRowCount() {
    // Nothing to look after while nothing is hidden: no timer runs then.
    const bool wanted = !m_rows.empty() && m_hOwner != nullptr;
    if (wanted && !m_bChecking) {
        m_bChecking = ::SetTimer(m_hOwner, kCheckTimerId, kCheckIntervalMs, nullptr) != 0;
    } else if (!wanted && m_bChecking) {
        ::KillTimer(m_hOwner, kCheckTimerId);
        m_bChecking = false;
    }
    if (m_rows.empty()) {
        m_record.RemoveIfEmpty();
    }
}

}  // namespace hider
