// The hidden windows' owner on a real list view and image list, with the
// window system and the record replaced by fakes. No messages are pumped here,
// so its check timer never runs: each test says when rows are looked at.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <string>
#include <vector>

#include "fake_window_record.h"
#include "fake_window_services.h"
#include "framework.h"
#include "hidden_windows.h"

namespace {

using test::Target;

COLORREF ColourOf(int n) {
    return RGB(n & 0xFF, (n >> 8) & 0xFF, 0x80);
}

// A 16x16 icon of one opaque colour.
handles::unique_hicon SolidIcon(COLORREF colour) {
    std::vector<DWORD> pixels(16 * 16, 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) |
                                           GetBValue(colour));
    HBITMAP colourBits = ::CreateBitmap(16, 16, 1, 32, pixels.data());
    std::vector<BYTE> maskBits(16 * 16 / 8, 0);
    HBITMAP mask = ::CreateBitmap(16, 16, 1, 1, maskBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colourBits};
    handles::unique_hicon icon(::CreateIconIndirect(&info));
    ::DeleteObject(colourBits);
    ::DeleteObject(mask);
    return icon;
}

class HiddenWindows : public ::testing::Test {
protected:
    void SetUp() override {
        m_owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
        list.m_hWnd = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_SINGLESEL, 0, 0, 300, 300,
                                        m_owner, nullptr, nullptr, nullptr);
        ASSERT_NE(list.m_hWnd, nullptr);
        list.InsertColumn(0, L"title", LVCFMT_LEFT, 200);
    }
    void TearDown() override { ::DestroyWindow(m_owner); }

    void Attach() { hidden.Attach(m_owner, list); }

    std::vector<std::wstring> Titles() {
        std::vector<std::wstring> titles;
        for (int row = 0; row < ListView_GetItemCount(list.m_hWnd); ++row) {
            std::wstring text(600, L'\0');
            ListView_GetItemText(list.m_hWnd, row, 0, text.data(), static_cast<int>(text.size()));
            text.resize(wcslen(text.c_str()));
            titles.push_back(text);
        }
        return titles;
    }
    int RowOf(const std::wstring& title) {
        const auto titles = Titles();
        for (size_t row = 0; row < titles.size(); ++row) {
            if (titles[row] == title) {
                return static_cast<int>(row);
            }
        }
        return -1;
    }
    int ImageOf(int row) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ListView_GetItem(list.m_hWnd, &item);
        return item.iImage;
    }
    HIMAGELIST Images() { return ListView_GetImageList(list.m_hWnd, LVSIL_SMALL); }
    // The colour the image list draws for an image.
    COLORREF DrawnColour(int image) {
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP canvas = ::CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = ::SelectObject(memory, canvas);
        ImageList_Draw(Images(), image, memory, 0, 0, ILD_NORMAL);
        const COLORREF colour = ::GetPixel(memory, 8, 8);
        ::SelectObject(memory, old);
        ::DeleteObject(canvas);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
        return colour;
    }
    // The windows the record names, oldest entry first.
    std::vector<HWND> RecordedWindows() {
        std::vector<HWND> windows;
        for (const auto& [order, entry] : record.m_entries) {
            windows.push_back(reinterpret_cast<HWND>(static_cast<UINT_PTR>(entry.window.handle)));
        }
        return windows;
    }
    int ShowsOf(HWND window) {
        int shows = 0;
        for (const auto& call : services.Calls()) {
            shows += call.what == "show" && call.window == window;
        }
        return shows;
    }
    void Hide(int n, std::wstring title, HICON icon = nullptr) { Hide(n, {std::move(title), icon, nullptr}); }
    hider::HideResult Hide(int n, test::FakeWindowServices::Target target) {
        services.AddTarget(Target(n), std::move(target));
        const hider::HideResult result = HideWithoutCatchUp(n);
        CatchUp();
        return result;
    }
    hider::HideResult HideWithoutCatchUp(int n) { return hidden.Hide(Target(n), *services.DescribeWindow(Target(n))); }
    std::vector<std::string> Requests() { return services.Requests(); }
    // What the owner does when the catch-up's timer comes; how many times it
    // came. The timer is waited for as long as a busy machine may take, then a
    // few of its delays more, in case it comes again.
    int CatchUp() {
        using Clock = std::chrono::steady_clock;
        constexpr auto kAgain = std::chrono::milliseconds(3 * hider::HiddenWindows::kCatchUpDelayMs);
        int came = 0;
        auto deadline = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < deadline) {
            MSG msg;
            if (::PeekMessageW(&msg, m_owner, WM_TIMER, WM_TIMER, PM_REMOVE) &&
                msg.wParam == hider::HiddenWindows::kCatchUpTimerId) {
                ++came;
                hidden.CatchUp();
                deadline = Clock::now() + kAgain;
            }
            ::Sleep(1);
        }
        return came;
    }

    test::FakeWindowServices services;
    test::FakeWindowRecord record;
    hider::HiddenWindows hidden{services, record};
    CListCtrl list;

private:
    HWND m_owner = nullptr;
};

TEST_F(HiddenWindows, AThousandHidesAndRestoresLeaveExactlyTheIconsOfTheListedRows) {
    Attach();
    std::vector<handles::unique_hicon> icons;
    auto checkRows = [&](const char* when) {
        const int rows = ListView_GetItemCount(list.m_hWnd);
        ASSERT_EQ(ImageList_GetImageCount(Images()), rows) << when;
        const auto titles = Titles();
        for (int row = 0; row < rows; ++row) {
            const int n = std::stoi(titles[row].substr(1));
            ASSERT_EQ(DrawnColour(ImageOf(row)), ColourOf(n)) << when << ", row " << row << " " << titles[row];
        }
    };
    for (int n = 1; n <= 1000; ++n) {
        icons.push_back(SolidIcon(ColourOf(n)));
        Hide(n, L"w" + std::to_wstring(n), icons.back().get());
    }
    checkRows("after 1000 hides");
    // Restores from everywhere in the list: the oldest rows hold the first
    // images, the newest the last.
    for (int k = 0; ListView_GetItemCount(list.m_hWnd) > 0; ++k) {
        const int rows = ListView_GetItemCount(list.m_hWnd);
        ASSERT_EQ(hidden.Restore((k * 7919) % rows, true), hider::RestoreResult::Shown);
        if (k == 500) {
            checkRows("half way");
        }
    }
    EXPECT_EQ(ImageList_GetImageCount(Images()), 0);
    EXPECT_TRUE(record.m_entries.empty());

    // A window without icon takes no image and shows none.
    Hide(1001, L"没有图标");
    EXPECT_EQ(ImageOf(0), I_IMAGENONE);
    EXPECT_EQ(ImageList_GetImageCount(Images()), 0);
}

TEST_F(HiddenWindows, TheWindowIsToldToHideBeforeItsIconIsAskedForOneCatchUpServesAllHidesBeforeIt) {
    Attach();
    services.RecordIconRequests();
    const auto red = SolidIcon(ColourOf(1));
    const auto blue = SolidIcon(ColourOf(2));
    services.AddTarget(Target(1), {L"A", red.get(), nullptr});
    services.AddTarget(Target(2), {L"B", blue.get(), nullptr});
    HideWithoutCatchUp(1);
    HideWithoutCatchUp(2);
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"B", L"A"})) << "the rows come before the hides";
    EXPECT_EQ(ImageOf(0), I_IMAGENONE);
    EXPECT_EQ(record.m_entries.size(), 2u);

    EXPECT_EQ(CatchUp(), 1);
    EXPECT_EQ(Requests(), (std::vector<std::string>{"hide 1", "hide 2", "icon 1", "icon 2"}));
    EXPECT_EQ(DrawnColour(ImageOf(RowOf(L"A"))), ColourOf(1));
    EXPECT_EQ(DrawnColour(ImageOf(RowOf(L"B"))), ColourOf(2));

    // A row given back before its catch-up takes no image.
    services.AddTarget(Target(3), {L"C", red.get(), nullptr});
    HideWithoutCatchUp(3);
    ASSERT_EQ(hidden.Restore(RowOf(L"C"), true), hider::RestoreResult::Shown);
    EXPECT_EQ(CatchUp(), 1);
    EXPECT_EQ(ImageList_GetImageCount(Images()), 2);
}

TEST_F(HiddenWindows, TitlesAreCutAtACharacterBoundary) {
    const std::wstring emoji = L"\U0001F648";  // two UTF-16 units
    struct Case {
        const char* what;
        std::wstring title;
        std::wstring listed;
    };
    const Case cases[] = {
        {"an emoji across the cut", std::wstring(509, L'a') + emoji + std::wstring(89, L'b'), std::wstring(509, L'a')},
        {"an emoji ending at the cut", std::wstring(508, L'a') + emoji + std::wstring(90, L'b'),
         std::wstring(508, L'a') + emoji},
        {"600 Chinese characters", std::wstring(600, L'长'), std::wstring(510, L'长')},
        {"a short title", L"短 " + emoji, L"短 " + emoji},
    };
    Attach();
    int n = 0;
    for (const Case& c : cases) {
        Hide(++n, c.title);
        EXPECT_EQ(Titles().front(), c.listed) << c.what;
    }
}

TEST_F(HiddenWindows, ARowWhoseHandleNoLongerNamesItsWindowGoesWithoutShowingAnything) {
    Attach();
    Hide(1, L"closed");
    Hide(2, L"reused");
    Hide(3, L"still there");
    Hide(4, L"closed, looked at by the check");
    services.Close(Target(1));
    services.Reuse(Target(2), 0x9000, 0x9004);  // the handle is another process's window now
    services.Close(Target(4));

    EXPECT_EQ(hidden.Restore(RowOf(L"closed"), true), hider::RestoreResult::Dropped);
    EXPECT_EQ(hidden.WindowOfRow(RowOf(L"reused")), nullptr) << "no window-menu request for another's window";
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"closed, looked at by the check", L"still there"}));
    hidden.DropStaleRows();
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"still there"}));

    EXPECT_EQ(ShowsOf(Target(1)) + ShowsOf(Target(2)) + ShowsOf(Target(4)), 0);
    EXPECT_EQ(RecordedWindows(), (std::vector<HWND>{Target(3)}));

    hidden.RestoreAll();
    EXPECT_EQ(ShowsOf(Target(3)), 1);
    EXPECT_TRUE(record.m_entries.empty());
}

TEST_F(HiddenWindows, AShowThatCouldNotBeMadeKeepsTheRowAndItsRecord) {
    Attach();
    Hide(1, L"A");
    Hide(2, L"B");
    Hide(3, L"C");
    services.RefuseShow(Target(2));
    hidden.RestoreAll();
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"B"}));
    EXPECT_EQ(ShowsOf(Target(3)) + ShowsOf(Target(1)), 2);
    EXPECT_EQ(RecordedWindows(), (std::vector<HWND>{Target(2)}));

    services.RefuseShow(Target(2), false);
    EXPECT_EQ(hidden.Restore(0, true), hider::RestoreResult::Shown);
    EXPECT_TRUE(record.m_entries.empty());
}

TEST_F(HiddenWindows, EachRowIsRecordedWithWhatNamesItsWindow) {
    Attach();
    Hide(1, L"A");
    Hide(2, L"B");
    ASSERT_EQ(record.m_entries.size(), 2u);
    const hider::RecordEntry& a = record.m_entries.begin()->second;
    const hider::RecordEntry& b = record.m_entries.rbegin()->second;
    EXPECT_LT(a.order, b.order);
    EXPECT_EQ(a.window.handle, reinterpret_cast<UINT_PTR>(Target(1)));
    const auto facts = services.DescribeWindow(Target(1));
    ASSERT_TRUE(facts);
    EXPECT_EQ(a.window.processId, facts->processId);
    EXPECT_EQ(a.window.processStart, facts->processStart);
    EXPECT_EQ(a.window.threadId, facts->threadId);
    EXPECT_EQ(a.window.className, u"FakeWindow");

    hidden.Restore(RowOf(L"A"), true);
    EXPECT_EQ(RecordedWindows(), (std::vector<HWND>{Target(2)}));
}

TEST_F(HiddenWindows, AStartListsAgainTheRecordedWindowsThatAreStillHidden) {
    // What an earlier run left: four windows, hidden in this order.
    for (int n = 1; n <= 4; ++n) {
        services.AddTarget(Target(n), {L"w" + std::to_wstring(n), nullptr, nullptr});
        services.HideTarget(Target(n));
        const auto facts = services.DescribeWindow(Target(n));
        hider::WindowIdentity identity{reinterpret_cast<UINT_PTR>(Target(n)), facts->processId, facts->processStart,
                                       facts->threadId, u"FakeWindow"};
        record.Add({static_cast<std::uint32_t>(10 + n), identity, {}});
    }
    services.ShownByItsProgram(Target(2), true);  // shown meanwhile
    services.Close(Target(3));                   // closed meanwhile
    const auto callsBefore = services.Calls().size();

    Attach();
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"w4", L"w1"})) << "titles are asked for again";
    EXPECT_EQ(services.Calls().size(), callsBefore) << "nothing is shown or hidden at start";
    EXPECT_EQ(record.m_entries.size(), 2u);

    Hide(5, L"new");
    EXPECT_GT(record.m_entries.rbegin()->first, 14u) << "new entries come after the old";
    EXPECT_EQ(Titles().front(), L"new");
}

TEST_F(HiddenWindows, AWindowGoesAndComesBackWithTheWindowsItOwns) {
    Attach();
    // The editor owns a modal dialog on top, a Find box below it and a palette.
    services.AddTarget(Target(2), {L"查找 - secret text", nullptr, nullptr});
    services.AddTarget(Target(3), {L"保存?", nullptr, nullptr});
    services.AddTarget(Target(4), {L"palette", nullptr, nullptr});
    ASSERT_EQ(Hide(1, {L"editor", nullptr, nullptr, 0x4000, 0x4004, L"Editor", {Target(3), Target(2), Target(4)}}),
              hider::HideResult::Hidden);
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"editor"})) << "one row, the owner's";
    EXPECT_EQ(Requests(), (std::vector<std::string>{"hide 1", "hide 3", "hide 2", "hide 4"}));
    ASSERT_EQ(record.m_entries.size(), 1u);
    std::vector<HWND> recordedOwned;
    for (const auto& owned : record.m_entries.begin()->second.owned) {
        recordedOwned.push_back(reinterpret_cast<HWND>(static_cast<UINT_PTR>(owned.handle)));
    }
    EXPECT_EQ(recordedOwned, (std::vector<HWND>{Target(3), Target(2), Target(4)})) << "top first";

    // While hidden, its program closes the palette and opens another pop-up.
    services.Close(Target(4));
    services.AddTarget(Target(5), {L"new", nullptr, nullptr});
    services.AddTarget(Target(1), {L"editor", nullptr, nullptr, 0x4000, 0x4004, L"Editor", {Target(5), Target(3)}});
    services.Enable(Target(1), false);  // under its modal dialog
    const size_t before = services.Calls().size();
    ASSERT_EQ(hidden.Restore(0, true), hider::RestoreResult::Shown);
    EXPECT_EQ(services.Requests(before), (std::vector<std::string>{"show 1", "show 2", "show 3", "front 3"}))
        << "the owner, then the rest bottom first, the dialog, not its disabled owner, in front; the new pop-up is "
           "left alone";
    EXPECT_TRUE(record.m_entries.empty());
}

TEST_F(HiddenWindows, AWindowItsProgramShowsAgainIsTheirsAndNeverGetsASecondRow) {
    Attach();
    Hide(1, L"tray program");
    services.ShownByItsProgram(Target(1), true);  // its tray icon was clicked
    HideWithoutCatchUp(1);                         // and the hide-key pressed over it again
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"tray program"}));
    EXPECT_EQ(record.m_entries.size(), 1u);
    CatchUp();

    services.ShownByItsProgram(Target(1), true);
    hidden.DropStaleRows();
    EXPECT_TRUE(Titles().empty()) << "shown by its program: the row goes";
    EXPECT_TRUE(record.m_entries.empty());
    services.ShownByItsProgram(Target(1), false);  // its program hides it to the tray itself
    hidden.RestoreAll();
    EXPECT_EQ(ShowsOf(Target(1)), 0) << "no end of Veilkeeper shows it again";

    // A hung program has not hidden its window yet: it is not taken back.
    services.Hang(Target(2));
    Hide(2, L"hung");
    hidden.DropStaleRows();
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"hung"}));
}

TEST_F(HiddenWindows, NothingIsHiddenThatTheRecordDoesNotHold) {
    Attach();
    record.m_refuseWrites = true;
    services.AddTarget(Target(2), {L"Find", nullptr, nullptr});
    EXPECT_EQ(Hide(1, {L"A", nullptr, nullptr, 0x4000, 0x4004, L"FakeWindow", {Target(2)}}),
              hider::HideResult::NotRecorded);
    EXPECT_TRUE(Titles().empty());
    EXPECT_TRUE(Requests().empty());

    // Its owned windows need a second write, at the catch-up: when that fails
    // they stay on screen and the catch-up says so; the window itself is
    // recorded and hidden.
    record.m_refuseWrites = false;
    struct RefuseSecondWrite final : hider::WindowRecord {
        test::FakeWindowRecord& real;
        explicit RefuseSecondWrite(test::FakeWindowRecord& r) : real(r) {}
        hider::RecordContents Load() override { return real.Load(); }
        bool Add(const hider::RecordEntry& entry) override { return entry.owned.empty() && real.Add(entry); }
        void Remove(std::uint32_t order) override { real.Remove(order); }
        void RemoveIfEmpty() override {}
    } refusing(record);
    hider::HiddenWindows other(services, refusing);
    other.Attach(::GetParent(list.m_hWnd), list);
    EXPECT_EQ(other.Hide(Target(1), *services.DescribeWindow(Target(1))), hider::HideResult::Hidden);
    EXPECT_FALSE(other.CatchUp());
    EXPECT_EQ(Requests(), (std::vector<std::string>{"hide 1"}));
    EXPECT_EQ(RecordedWindows(), (std::vector<HWND>{Target(1)}));
}

TEST_F(HiddenWindows, OrdersNeverFallOnOnesTakenAndEachRowShowsItsOwnWindow) {
    // Near the top: an entry of ours whose window is still hidden, and a value
    // another program wrote.
    services.AddTarget(Target(1), {L"old", nullptr, nullptr});
    services.HideTarget(Target(1));
    const auto facts = services.DescribeWindow(Target(1));
    record.Add({0xFFFFFFFF, {reinterpret_cast<UINT_PTR>(Target(1)), facts->processId, facts->processStart,
                             facts->threadId, u"FakeWindow"}, {}});
    record.m_takenOrders = {0xFFFFFFFE, 1};
    Attach();
    for (int n = 2; n <= 4; ++n) {
        Hide(n, L"w" + std::to_wstring(n));
    }
    std::vector<std::uint32_t> orders;
    for (const auto& [order, entry] : record.m_entries) {
        orders.push_back(order);
    }
    EXPECT_EQ(orders, (std::vector<std::uint32_t>{2, 3, 4, 0xFFFFFFFF}));
    for (int n = 2; n <= 4; ++n) {
        const size_t before = services.Calls().size();
        ASSERT_EQ(hidden.Restore(RowOf(L"w" + std::to_wstring(n)), true), hider::RestoreResult::Shown);
        const std::string shown = std::to_string(n);
        EXPECT_EQ(services.Requests(before), (std::vector<std::string>{"show " + shown, "front " + shown}));
    }
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"old"}));
}

TEST_F(HiddenWindows, AConsoleWindowStaysListedWhenTheProcessItReportsChanges) {
    Attach();
    Hide(1, {L"命令提示符", nullptr, nullptr, 0x4000, 0x4004, L"ConsoleWindowClass"});
    Hide(2, {L"ordinary", nullptr, nullptr, 0x4100, 0x4104, L"FakeWindow"});
    // The console's first process ended while another stays attached; the
    // ordinary window's handle now names another program's window.
    services.Reuse(Target(1), 0x5000, 0x5004);
    services.Reuse(Target(2), 0x5000, 0x5004);
    hidden.DropStaleRows();
    hidden.DropStaleRows();  // and still on the next look, now at its new process
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"命令提示符"}));
    EXPECT_EQ(hidden.Restore(0, true), hider::RestoreResult::Shown);
    EXPECT_EQ(ShowsOf(Target(1)), 1);
    EXPECT_EQ(ShowsOf(Target(2)), 0);
}

// An editor (1) with a modal dialog (3, on another thread), a Find box (2)
// and a tooltip (4) of the moment, all on screen when the editor is hidden.
class EditorWithOwnedWindows : public HiddenWindows {
protected:
    void HideEditor() {
        services.AddTarget(Target(2), {L"Find", nullptr, nullptr, 0x4000, 0x4008, L"#32770"});
        services.AddTarget(Target(3), {L"Save?", nullptr, nullptr, 0x4000, 0x400C, L"#32770"});
        services.AddTarget(Target(4), {L"tip", nullptr, nullptr, 0x4000, 0x4004, L"tooltips_class32", {},
                                       WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_TOPMOST});
        services.SetForeground(Target(3));
        ASSERT_EQ(Hide(1, {L"editor", nullptr, nullptr, 0x4000, 0x4004, L"Editor", {Target(4), Target(3), Target(2)}}),
                  hider::HideResult::Hidden);
        services.Enable(Target(1), false);
    }
    std::vector<HWND> RecordedOwned() {
        std::vector<HWND> owned;
        for (const auto& [order, entry] : record.m_entries) {
            for (const auto& window : entry.owned) {
                owned.push_back(reinterpret_cast<HWND>(static_cast<UINT_PTR>(window.handle)));
            }
        }
        return owned;
    }
};

TEST_F(EditorWithOwnedWindows, OwnedWindowsOfEveryThreadGoAndAPopUpOfTheMomentIsNeitherHeldNorBroughtBack) {
    Attach();
    HideEditor();
    EXPECT_EQ(Requests(), (std::vector<std::string>{"hide 1", "hide 3", "hide 2", "hide 4"}));
    EXPECT_EQ(RecordedOwned(), (std::vector<HWND>{Target(3), Target(2)})) << "the tooltip is not recorded";
    EXPECT_EQ(record.m_entries.begin()->second.active, 1u) << "the dialog was active";
    const size_t before = services.Calls().size();
    ASSERT_EQ(hidden.Restore(0, true), hider::RestoreResult::Shown);
    EXPECT_EQ(services.Requests(before), (std::vector<std::string>{"show 1", "show 2", "show 3", "front 3"}));
    EXPECT_FALSE(services.Visible(Target(4))) << "its program shows its tooltip when it needs it";
}

TEST_F(EditorWithOwnedWindows, WhenItsProgramShowsTheOwnerWhatVeilkeeperHeldComesBackWithIt) {
    // With window events, and where they do not come (the check looks).
    for (const bool events : {true, false}) {
        SCOPED_TRACE(events ? "events" : "the check");
        Attach();
        services.ReportWindowEvents(events);
        HideEditor();
        hidden.OnWindowEvents();
        if (!events) {
            hidden.DropStaleRows();  // seen hidden
        }
        services.Close(Target(2));  // the Find box closed meanwhile
        services.ShownByItsProgram(Target(1), true);  // its tray icon clicked
        const size_t before = services.Calls().size();
        hidden.OnWindowEvents();
        if (!events) {
            hidden.DropStaleRows();
        }
        EXPECT_TRUE(Titles().empty());
        EXPECT_TRUE(record.m_entries.empty());
        EXPECT_EQ(services.Requests(before), (std::vector<std::string>{"show 3"}))
            << "the dialog, not the window its program showed, nor one gone";
        hidden.RestoreAll();
        EXPECT_EQ(services.Requests(before).size(), 1u) << "nothing more at the end";
        services.ShownByItsProgram(Target(1), false);
    }
}

TEST_F(HiddenWindows, AShowByItsProgramHoweverBriefGivesTheRowUpAndItsLaterHideIsItsOwn) {
    Attach();
    services.ReportWindowEvents();
    Hide(1, L"shown at once");
    Hide(2, L"shown and hidden again within a check");
    hidden.OnWindowEvents();
    services.ShownByItsProgram(Target(1), true);
    services.ShownByItsProgram(Target(2), true);
    services.ShownByItsProgram(Target(2), false);
    hidden.OnWindowEvents();
    EXPECT_TRUE(Titles().empty());
    services.ShownByItsProgram(Target(1), false);  // hidden to its tray, by its program
    const size_t before = services.Calls().size();
    hidden.RestoreAll();
    EXPECT_TRUE(services.Requests(before).empty()) << "Exit shows nothing its program hid";

    // Where the events come, the quick check stops; the watch follows the rows.
    EXPECT_TRUE(services.WatchedProcesses().empty());
    Hide(3, {L"other program", nullptr, nullptr, 0x5000, 0x5004});
    EXPECT_EQ(services.WatchedProcesses(), std::vector<DWORD>{0x5000});
    hidden.Restore(0, true);
    EXPECT_TRUE(services.WatchedProcesses().empty());
}

TEST_F(HiddenWindows, TheWindowTheUserWasInIsActiveAfterTheRestoreNeverADisabledOwner) {
    Attach();
    // A modal dialog (2) the user was in, hidden first, its owner (1) after;
    // the system gave the activation to the owner's Find box (6) meanwhile:
    // Exit gives it to the dialog, not to the owner it disables nor the box.
    services.AddTarget(Target(2), {L"Save?", nullptr, nullptr, 0x4000, 0x4004, L"#32770"});
    services.AddTarget(Target(6), {L"Find", nullptr, nullptr, 0x4000, 0x4004, L"#32770"});
    services.SetForeground(Target(2));
    Hide(2, L"Save?");
    services.SetForeground(Target(6));
    Hide(1, {L"editor", nullptr, nullptr, 0x4000, 0x4004, L"Editor", {Target(6), Target(2)}});
    services.Enable(Target(1), false);
    // An editor (3) whose non-modal Find box (4) the user was in, and a
    // palette (5) above it.
    services.AddTarget(Target(4), {L"Find", nullptr, nullptr, 0x4000, 0x4004, L"#32770"});
    services.AddTarget(Target(5), {L"palette", nullptr, nullptr, 0x4000, 0x4004, L"Palette", {}, WS_POPUP | WS_CAPTION,
                                   WS_EX_TOOLWINDOW});
    services.SetForeground(Target(4));
    Hide(3, {L"editor 2", nullptr, nullptr, 0x4000, 0x4004, L"Editor", {Target(5), Target(4)}});

    size_t before = services.Calls().size();
    hidden.Restore(RowOf(L"editor 2"), true);
    EXPECT_EQ(services.Requests(before), (std::vector<std::string>{"show 3", "show 4", "show 5", "front 4"}));
    before = services.Calls().size();
    hidden.RestoreAll();
    EXPECT_EQ(services.Requests(before), (std::vector<std::string>{"show 1", "show 6", "show 2", "front 2"}));
}

TEST_F(HiddenWindows, AStartGivesBackWhatWasHiddenWithAWindowItsProgramShowedMeanwhile) {
    services.AddTarget(Target(2), {L"dialog", nullptr, nullptr});
    services.AddTarget(Target(1), {L"editor", nullptr, nullptr, 0x4000, 0x4004, L"FakeWindow", {Target(2)}});
    auto identity = [&](int n) {
        const auto facts = services.DescribeWindow(Target(n));
        return hider::WindowIdentity{reinterpret_cast<UINT_PTR>(Target(n)), facts->processId, facts->processStart,
                                     facts->threadId, u"FakeWindow"};
    };
    services.HideTarget(Target(2));  // the editor was shown by its program, then Veilkeeper was killed
    record.Add({7, identity(1), {identity(2)}});
    const size_t before = services.Calls().size();
    Attach();
    EXPECT_TRUE(Titles().empty());
    EXPECT_EQ(services.Requests(before), (std::vector<std::string>{"show 2"}));
    EXPECT_TRUE(record.m_entries.empty());
}

}  // namespace
