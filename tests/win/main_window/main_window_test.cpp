// The main window as the user meets it: its template, its set-up, and how it
// hides instead of closing.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "about_dlg.h"
#include "main_window_run.h"
#include "poll.h"
#include "resource.h"
#include "version.h"
#include "windows_of.h"

namespace {

using test::WaitFor;
using Driver = test::ModalDriver;

RECT DialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy) {
    RECT rect{x, y, x + cx, y + cy};
    ::MapDialogRect(dialog, &rect);
    return rect;
}

RECT ClientRectOfChild(HWND dialog, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class MainWindow : public test::MainWindowOnFakes {};

TEST_F(MainWindow, TemplateHasItsControlsTextsAndPlaces) {
    WithMainWindow([](Driver& d) {
        EXPECT_EQ(test::TextOf(d.Window()), L"Veilkeeper");

        struct Control {
            int id;
            const wchar_t* className;
            const wchar_t* text;
            DWORD styleBits;
            int x, y, cx, cy;
        };
        const Control controls[] = {
            {IDC_FINDER, L"Static", L"", SS_ICON, 8, 5, 21, 21},
            {IDC_HIDDEN_LIST, L"SysListView32", L"", LVS_REPORT | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP, 9, 37, 183,
             127},
            {IDC_INVISIBLE_ON_DROP, L"Button", L"拖动时不可见", BS_AUTOCHECKBOX | WS_TABSTOP, 39, 6, 64, 10},
            {IDC_MENU_BUTTON, L"Button", L">>", WS_TABSTOP, 178, 11, 13, 14},
            {IDC_HIDE_SELF_AFTER_SHOW, L"Button", L"显示目标窗口后隐藏本窗口", BS_AUTOCHECKBOX | WS_TABSTOP, 39, 20,
             112, 10},
        };
        HWND previous = nullptr;
        for (const Control& c : controls) {
            SCOPED_TRACE(c.id);
            HWND control = d.Item(c.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(test::ClassOf(control), c.className);
            if (c.id != IDC_FINDER) {
                EXPECT_EQ(test::TextOf(control), c.text);
            }
            auto style = static_cast<DWORD>(::GetWindowLongW(control, GWL_STYLE));
            // The list view draws a border as a client edge.
            if (::GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) {
                style |= WS_BORDER;
            }
            EXPECT_EQ(style & c.styleBits, c.styleBits);
            const RECT expected = DialogUnitsToPixels(d.Window(), c.x, c.y, c.cx, c.cy);
            const RECT actual = ClientRectOfChild(d.Window(), control);
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            // An icon static takes the size of its icon.
            if (c.id != IDC_FINDER) {
                EXPECT_NEAR(actual.right, expected.right, 1);
                EXPECT_NEAR(actual.bottom, expected.bottom, 1);
            }
            // Tab order is template order.
            EXPECT_EQ(::GetWindow(control, GW_HWNDPREV), previous);
            previous = control;
        }

        // The finder shows the program icon, sunken, and lets presses through to the dialog.
        HWND finder = d.Item(IDC_FINDER);
        EXPECT_NE(::SendMessageW(finder, STM_GETICON, 0, 0), 0);
        EXPECT_TRUE(::GetWindowLongW(finder, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_FALSE(::GetWindowLongW(finder, GWL_STYLE) & (SS_NOTIFY | WS_TABSTOP | WS_DISABLED));
        EXPECT_EQ(::SendMessageW(finder, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    });
}

// The dialog font has a glyph for every character of the Chinese texts: they
// show as writing, not as boxes or question marks.
TEST_F(MainWindow, DialogFontHasTheChineseGlyphs) {
    WithMainWindow([](Driver& d) {
        const std::wstring texts = L"拖动时不可见显示目标窗口后隐藏本窗口窗口名称关于版确定";
        auto font = reinterpret_cast<HFONT>(::SendMessageW(d.Window(), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        HDC dc = ::GetDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, font);
        std::wstring glyphs(texts.size(), L'\0');
        const DWORD converted = ::GetGlyphIndicesW(dc, texts.c_str(), static_cast<int>(texts.size()),
                                                   reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
        ::SelectObject(dc, old);
        ::ReleaseDC(nullptr, dc);
        ASSERT_EQ(converted, texts.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            EXPECT_NE(static_cast<WORD>(glyphs[i]), 0xFFFF) << "no glyph at " << i;
        }
    });
}

TEST_F(MainWindow, SetUpMakesATopmostCentredToolWindowWithBothOptionsOn) {
    WithMainWindow([](Driver& d) {
        HWND main = d.Window();
        const auto style = static_cast<DWORD>(::GetWindowLongW(main, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(::GetWindowLongW(main, GWL_EXSTYLE));
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_POPUP), DWORD{WS_CAPTION | WS_SYSMENU | WS_POPUP});
        EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
        EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW),
                  DWORD{WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW});

        EXPECT_EQ(::IsDlgButtonChecked(main, IDC_INVISIBLE_ON_DROP), BST_CHECKED);
        EXPECT_EQ(::IsDlgButtonChecked(main, IDC_HIDE_SELF_AFTER_SHOW), BST_CHECKED);
        EXPECT_NE(::SendMessageW(main, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(::SendMessageW(main, WM_GETICON, ICON_SMALL, 0), 0);

        // The list: one column for the titles, an image list for the icons, empty.
        HWND list = d.Item(IDC_HIDDEN_LIST);
        wchar_t heading[32] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = heading;
        column.cchTextMax = 32;
        ASSERT_TRUE(ListView_GetColumn(list, 0, &column));
        EXPECT_STREQ(heading, L"窗口名称");
        // The column fills the list, leaving room for a scroll bar, at any DPI.
        RECT listClient{};
        ::GetClientRect(list, &listClient);
        EXPECT_EQ(column.cx, listClient.right - ::GetSystemMetrics(SM_CXVSCROLL));
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
        ASSERT_NE(images, nullptr);
        int cx = 0;
        int cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        EXPECT_EQ(cx, ::GetSystemMetrics(SM_CXSMICON)) << "row icons at this display's size";
        EXPECT_EQ(cy, ::GetSystemMetrics(SM_CYSMICON));
        ICONINFO finder{};
        ASSERT_TRUE(::GetIconInfo(reinterpret_cast<HICON>(::SendMessageW(d.Item(IDC_FINDER), STM_GETICON, 0, 0)),
                                  &finder));
        BITMAP mask{};
        ::GetObjectW(finder.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, ::GetSystemMetrics(SM_CXICON)) << "the finder at this display's size";
        if (finder.hbmColor != nullptr) ::DeleteObject(finder.hbmColor);
        ::DeleteObject(finder.hbmMask);
        EXPECT_EQ(ListView_GetItemCount(list), 0);

        // Centred on the work area.
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        RECT window{};
        ::GetWindowRect(main, &window);
        EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2, 1);
        EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2, 1);

        // The keyboard focus starts on the list: the window's thread sets it
        // once the window is shown, maybe after the window is found.
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        EXPECT_TRUE(test::WaitFor([&] { return ::GetGUIThreadInfo(d.ThreadId(), &gui) && gui.hwndFocus == list; }))
            << "the focus is on " << gui.hwndFocus << ", not the list " << list;
    });
}

TEST_F(MainWindow, EscAndClosingOnlyHideIt) {
    struct Way {
        const char* name;
        std::function<void(Driver&)> close;
    };
    const Way ways[] = {
        {"Esc on the list", [](Driver& d) { d.PressKeyOn(IDC_HIDDEN_LIST, VK_ESCAPE); }},
        {"the close button, Alt+F4 or the window menu's Close",
         [](Driver& d) { ::PostMessageW(d.Window(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"WM_CLOSE", [](Driver& d) { ::PostMessageW(d.Window(), WM_CLOSE, 0, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        WithMainWindow([&](Driver& d) {
            way.close(d);
            EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(d.Window()); })) << way.name;
            EXPECT_FALSE(d.Ended(200)) << "the program must keep running";
        });
    }
}

TEST_F(MainWindow, EnterNeverClosesIt) {
    WithMainWindow([](Driver& d) {
        for (int id : {IDC_HIDDEN_LIST, IDC_INVISIBLE_ON_DROP, IDC_HIDE_SELF_AFTER_SHOW}) {
            d.PressKeyOn(id, VK_RETURN);
        }
        d.OnDialogThread([] {});  // once this runs, the keys before it were handled
        EXPECT_FALSE(d.Ended(300));
        EXPECT_TRUE(::IsWindowVisible(d.Window()));
    });
}

TEST_F(MainWindow, WindowMenuOffersTheAboutBox) {
    WithMainWindow([](Driver& d) {
        HWND main = d.Window();
        HMENU menu = ::GetSystemMenu(main, FALSE);
        ASSERT_NE(menu, nullptr);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        EXPECT_EQ(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
                  UINT{MF_SEPARATOR});
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), UINT{IDM_ABOUTBOX});
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"关于 Veilkeeper(&A)...");

        // Choosing it opens the About box over the main window, which waits for it.
        ::PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = test::WaitForVisibleDialog(L"关于 Veilkeeper");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(::GetWindow(about, GW_OWNER), main);
        EXPECT_FALSE(::IsWindowEnabled(main));
        const auto texts = test::StaticTextsOf(about);
        const std::wstring version = L"Veilkeeper " VEILKEEPER_VERSION_SHORT_W L" 版";
        EXPECT_NE(std::find(texts.begin(), texts.end(), version), texts.end()) << "the project's version";
        EXPECT_EQ(test::TextOf(::GetDlgItem(about, IDOK)), L"确定");

        // Esc closes it and gives the main window back.
        ::PostMessageW(::GetDlgItem(about, IDOK), WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(about); }));
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(main) != FALSE; }));
        EXPECT_FALSE(d.Ended(100));
    });
}

TEST_F(MainWindow, F1AsksForTheUserGuide) {
    WithMainWindow([](Driver& d) {
        const LONG before = test::App().helpRequests;
        HELPINFO help{};
        help.cbSize = sizeof help;
        help.iContextType = HELPINFO_WINDOW;
        help.hItemHandle = d.Item(IDC_HIDDEN_LIST);
        ::SendMessageW(d.Window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        EXPECT_EQ(test::App().helpRequests, before + 1);
    });
}

BOOL CALLBACK AddVisibleTitle(HWND window, LPARAM titles) {
    if (::IsWindowVisible(window)) {
        reinterpret_cast<std::vector<std::wstring>*>(titles)->push_back(test::TextOf(window));
    }
    return TRUE;
}

// While a dialog of ours runs over the main window, the window gets no input:
// commands that open dialogs can only come from programs then, and open none.
TEST_F(MainWindow, WhileADialogRunsOverItCommandsFromProgramsOpenNoOther) {
    WithMainWindow([](Driver& d) {
        HWND main = d.Window();
        ::PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindowEnabled(main); }));

        ::PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        ::PostMessageW(main, WM_COMMAND, IDM_ABOUTBOX, 0);
        ::PostMessageW(main, WM_COMMAND, ID_SET_HOTKEY, 0);
        d.OnDialogThread([] {});  // once this runs, the messages before it were handled
        std::vector<std::wstring> dialogs;
        ::EnumThreadWindows(d.ThreadId(), &AddVisibleTitle, reinterpret_cast<LPARAM>(&dialogs));
        std::sort(dialogs.begin(), dialogs.end());
        EXPECT_EQ(dialogs, (std::vector<std::wstring>{L"Veilkeeper", L"关于 Veilkeeper"}));

        HWND about = ::FindWindowW(L"#32770", L"关于 Veilkeeper");
        ::PostMessageW(about, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(main) != FALSE; }));
        EXPECT_FALSE(d.Ended(100));
    });
}

// Set-up and destruction come from the system, on the window's own thread,
// once. Sent or posted by a program, they would set the window up again with
// an object of the sender's choosing, or end the run with windows hidden.
TEST_F(MainWindow, SetUpAndDestructionFromProgramsAreIgnored) {
    WithMainWindow([](Driver& d, CHiderDlg& dialog) {
        HWND main = d.Window();
        const int menuItems = ::GetMenuItemCount(::GetSystemMenu(main, FALSE));
        ::SendMessageW(main, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dialog));
        ::PostMessageW(main, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dialog));
        ::SendMessageW(main, WM_DESTROY, 0, 0);
        ::PostMessageW(main, WM_NCDESTROY, 0, 0);
        d.OnDialogThread([] {});  // once this runs, the messages before it were handled

        EXPECT_EQ(::GetMenuItemCount(::GetSystemMenu(main, FALSE)), menuItems) << "set up again";
        EXPECT_FALSE(d.Ended(100));
        EXPECT_TRUE(::IsWindowVisible(main));
    });
}

}  // namespace
