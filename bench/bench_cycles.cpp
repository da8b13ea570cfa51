// Resources over many hide/restore cycles of one window: Veilkeeper's main
// window runs in this process, so its own counters can be read, and each cycle
// goes through the real handlers (the hide-key, then a double-click on the
// row). Usage: bench_cycles.exe [cycles]
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cwchar>

#include "child_process.h"
#include "hider_dlg.h"
#include "hotkey_ids.h"
#include "input.h"
#include "modal_driver.h"
#include "poll.h"
#include "registry_settings_store.h"
#include "registry_window_record.h"
#include "resource.h"
#include "user_settings.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Counters {
    DWORD user, gdi, handles;
    SIZE_T privateBytes, workingSet;
    int images;
};

Counters Read(HWND list) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    DWORD handles = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handles);
    return {::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS),
            ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), handles, memory.PrivateUsage,
            memory.WorkingSetSize, ImageList_GetImageCount(ListView_GetImageList(list, LVSIL_SMALL))};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int cycles = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 10000;
    test::ChildProcess targetProcess(test::ProgramFolder() + L"\\target_window.exe", L"Cycled 20 20", true);
    void* handle = nullptr;
    std::sscanf(targetProcess.ReadLine(20s).value_or("").c_str(), "%p", &handle);
    HWND target = static_cast<HWND>(handle);

    CHiderDlg dialog(platform::Win32WindowServices(), settings::UserSettings(), hider::UserWindowRecord());
    test::RunModal(dialog, [&](test::ModalDriver& d) {
        HWND list = d.Item(IDC_HIDDEN_LIST);
        RECT rect{};
        ::GetWindowRect(target, &rect);
        test::MovePointer(test::CentreOf(rect));
        auto cycle = [&] {
            // The real key: a hotkey message alone would count as the key
            // held down since the last hide.
            test::KeyDown(test::kDefaultHideKey);
            test::WaitFor([&] { return !::IsWindowVisible(target); });
            test::KeyUp(test::kDefaultHideKey);
            ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
            NMITEMACTIVATE click{};
            click.hdr = {list, IDC_HIDDEN_LIST, static_cast<UINT>(NM_DBLCLK)};
            d.Notify(click.hdr);
            test::WaitFor([&] { return ::IsWindowVisible(target) != FALSE; });
        };
        for (int i = 0; i < 50; ++i) {
            cycle();  // warm-up
        }
        const Counters before = Read(list);
        const auto start = Clock::now();
        for (int i = 0; i < cycles; ++i) {
            cycle();
        }
        const Counters after = Read(list);
        const double mib = 1048576.0;
        std::printf("| %d hide/restore cycles of one window, %.0f s | before | after |\n", cycles,
                    std::chrono::duration<double>(Clock::now() - start).count());
        std::printf("|---|---|---|\n");
        std::printf("| USER objects | %lu | %lu |\n", before.user, after.user);
        std::printf("| GDI objects | %lu | %lu |\n", before.gdi, after.gdi);
        std::printf("| kernel handles | %lu | %lu |\n", before.handles, after.handles);
        std::printf("| private bytes, MiB | %.2f | %.2f |\n", static_cast<double>(before.privateBytes) / mib,
                    static_cast<double>(after.privateBytes) / mib);
        std::printf("| working set, MiB | %.2f | %.2f |\n", static_cast<double>(before.workingSet) / mib,
                    static_cast<double>(after.workingSet) / mib);
        std::printf("| images in the list's image list | %d | %d |\n", before.images, after.images);
        std::printf("| rows left | | %d |\n", ListView_GetItemCount(list));
    });
    return 0;
}
