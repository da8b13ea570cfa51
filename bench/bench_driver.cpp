// Veilkeeper's benchmarks, each side by side with a bare baseline in the same
// run: hide latency, hiding and restoring 1,000 windows, and start-up. Prints
// a Markdown table. (Resources over many cycles: bench_cycles.)
// Usage: bench_driver.exe [latency|scale|startup]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "input.h"
#include "poll.h"
#include "remote_list_view.h"
#include "resource.h"
#include "system_directory.h"
#include "user_settings.h"
#include "windows_of.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr WORD kHideKey = 0xC0;  // the default hide-key, unmodified; the baseline registers it too
constexpr UINT kExitCommand = ID_EXIT;
constexpr int kHiddenListId = IDC_HIDDEN_LIST;
constexpr int kCell = 32;
constexpr int kColumns = 40;
// Where the windows listed before the latency runs lie: rows 24 to 26, below
// the target and Veilkeeper's window.
constexpr int kListedFirstCell = 24 * kColumns;

POINT CellCentre(int cell) {
    return {static_cast<LONG>((cell % kColumns) * kCell + kCell / 2),
            static_cast<LONG>((cell / kColumns) * kCell + kCell / 2)};
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Spread {
    double median, p10, p90;
};

Spread SpreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) { return samples[static_cast<size_t>(q * static_cast<double>(samples.size() - 1))]; };
    return {at(0.5), at(0.1), at(0.9)};
}

bool WaitVisible(HWND window, bool visible, std::chrono::milliseconds timeout = 10s) {
    const auto deadline = Clock::now() + timeout;
    while ((::IsWindowVisible(window) != FALSE) != visible) {
        if (Clock::now() > deadline) {
            return false;
        }
        ::Sleep(0);
    }
    return true;
}

// A program under measurement and the window its hotkey and commands go to.
struct Subject {
    std::unique_ptr<test::ChildProcess> process;
    HWND window = nullptr;
};

Subject StartVeilkeeper() {
    Subject s;
    s.process = std::make_unique<test::ChildProcess>(test::ProgramFolder() + L"\\Veilkeeper.exe", L"");
    test::PollUntil([&] {
        s.window = test::VisibleWindowOf(s.process->Id(), L"#32770");
        return s.window != nullptr;
    }, 20s);
    return s;
}

Subject StartBaseline() {
    Subject s;
    s.process = std::make_unique<test::ChildProcess>(test::ProgramFolder() + L"\\baseline_hider.exe", L"");
    test::PollUntil([&] {
        s.window = ::FindWindowW(L"VeilkeeperBaseline", nullptr);
        return s.window != nullptr;
    }, 20s);
    return s;
}

void End(Subject& s) {
    ::PostMessageW(s.window, WM_COMMAND, kExitCommand, 0);
    s.process->WaitForExit(10s);
}

// Hides the window under each point with the hide-key, one after another.
void HideAt(const std::vector<std::pair<HWND, POINT>>& windows) {
    for (const auto& [window, point] : windows) {
        test::MovePointer(point);
        test::KeyDown(kHideKey);
        WaitVisible(window, false, 2s);
        test::KeyUp(kHideKey);
    }
}

// 1. From the hide-key pressed to the target reported invisible. The subject
// is started afresh every few hides, with `listed` windows hidden first, so
// its list holds about as many rows each time.
std::vector<double> HideLatency(const std::function<Subject()>& start, HWND target, int repeats,
                                bool subjectWindowShown, const std::vector<std::pair<HWND, POINT>>& listed = {}) {
    RECT rect{};
    ::GetWindowRect(target, &rect);
    const POINT overTarget = test::CentreOf(rect);
    std::vector<double> samples;
    Subject s;
    for (int i = 0; i < repeats + 2; ++i) {
        if (i % 8 == 0) {
            if (s.process) {
                End(s);
                WaitVisible(target, true);
                for (const auto& [window, point] : listed) {
                    WaitVisible(window, true);
                }
            }
            s = start();
            if (!subjectWindowShown && ::IsWindowVisible(s.window)) {
                ::PostMessageW(s.window, WM_SYSCOMMAND, SC_CLOSE, 0);
                WaitVisible(s.window, false);
            }
            HideAt(listed);
        }
        test::MovePointer(overTarget);
        const auto begin = Clock::now();
        test::KeyDown(kHideKey);
        WaitVisible(target, false);
        const auto end = Clock::now();
        test::KeyUp(kHideKey);
        if (i >= 2) {
            samples.push_back(Ms(end - begin));  // the first two warm caches up
        }
        ::ShowWindow(target, SW_SHOWNA);
        WaitVisible(target, true);
        // Ten presses a second, faster than anyone presses a key: each hide
        // starts from a subject that has finished with the one before (the
        // scale runs below measure hides back to back).
        ::Sleep(100);
    }
    End(s);
    return samples;
}

// 2. Hides `windows` one by one, then ends the subject, which shows them all.
struct ScaleResult {
    std::vector<double> first10, next90, last900;  // ms for each window of each stretch
    double restorePerWindow;
    int missed;
};

ScaleResult Scale(Subject& s, const std::vector<HWND>& windows) {
    // A hide that has not happened within 2 s is asked for once more and left
    // out of the figures; under Wine in Xvfb a few in a thousand are lost.
    std::vector<double> perWindow;
    std::vector<bool> counted;
    int missed = 0;
    for (size_t i = 0; i < windows.size(); ++i) {
        test::MovePointer({static_cast<LONG>((i % kColumns) * kCell + kCell / 2),
                           static_cast<LONG>((i / kColumns) * kCell + kCell / 2)});
        const auto start = Clock::now();
        test::KeyDown(kHideKey);
        const bool hidden = WaitVisible(windows[i], false, 2s);
        perWindow.push_back(Ms(Clock::now() - start));
        test::KeyUp(kHideKey);
        counted.push_back(hidden);
        if (!hidden) {
            ++missed;
            test::PressKeys({kHideKey});
            WaitVisible(windows[i], false, 10s);
        }
    }
    auto stretch = [&](size_t from, size_t to) {
        std::vector<double> samples;
        for (size_t i = from; i < to; ++i) {
            if (counted[i]) {
                samples.push_back(perWindow[i]);
            }
        }
        return samples;
    };
    const auto start = Clock::now();
    ::PostMessageW(s.window, WM_COMMAND, kExitCommand, 0);
    for (HWND window : windows) {
        WaitVisible(window, true, 60s);
    }
    const double restore = Ms(Clock::now() - start) / static_cast<double>(windows.size());
    s.process->WaitForExit(10s);
    return {stretch(0, 10), stretch(10, 100), stretch(100, windows.size()), restore, missed};
}

// 4. From process start to its main window visible; and the working set
// once it is up (MiB).
struct StartUpResult {
    std::vector<double> ms, workingSet;
};

StartUpResult StartUp(const std::wstring& program, int repeats) {
    StartUpResult result;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        test::ChildProcess process(test::ProgramFolder() + L"\\" + program, L"");
        HWND window = nullptr;
        while (window == nullptr && Clock::now() - start < 20s) {
            window = test::VisibleWindowOf(process.Id(), L"#32770");
        }
        result.ms.push_back(Ms(Clock::now() - start));
        ::Sleep(500);  // whatever start-up still does once the window shows
        PROCESS_MEMORY_COUNTERS memory{};
        memory.cb = sizeof memory;
        if (::GetProcessMemoryInfo(process.Handle(), &memory, sizeof memory)) {
            result.workingSet.push_back(static_cast<double>(memory.WorkingSetSize) / 1048576.0);
        }
        ::PostMessageW(window, WM_COMMAND, program == L"Veilkeeper.exe" ? kExitCommand : IDCANCEL, 0);
        process.WaitForExit(10s);
    }
    return result;
}

void Row(const char* what, const Spread& veilkeeper, const Spread& baseline) {
    std::printf("| %s | %.2f (%.2f-%.2f) | %.2f (%.2f-%.2f) | %.2f |\n", what, veilkeeper.median, veilkeeper.p10,
                veilkeeper.p90, baseline.median, baseline.p10, baseline.p90, veilkeeper.median / baseline.median);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring only = argc > 1 ? argv[1] : L"";  // latency, scale or startup; empty: all
    auto runs = [&](const wchar_t* name) { return only.empty() || only == name; };
    test::ForgetSettings();
    test::InstallInstanceLibrary(L"Onecopy.dll");

    std::printf("| benchmark | Veilkeeper, median (p10-p90) | baseline, median (p10-p90) | ratio |\n");
    std::printf("|---|---|---|---|\n");

    // 1. Hide latency.
    if (runs(L"latency")) {
        test::ChildProcess targetProcess(test::ProgramFolder() + L"\\target_window.exe", L"Target 20 20", true);
        void* handle = nullptr;
        std::sscanf(targetProcess.ReadLine(20s).value_or("").c_str(), "%p", &handle);
        HWND target = static_cast<HWND>(handle);
        const auto ours = HideLatency(StartVeilkeeper, target, 50, true);
        const auto bare = HideLatency(StartBaseline, target, 50, true);
        const auto oursHidden = HideLatency(StartVeilkeeper, target, 50, false);
        // 100 windows of another program hidden first, clear of the target
        // and of Veilkeeper's window.
        test::ChildProcess listedOwner(test::ProgramFolder() + L"\\bench_windows.exe",
                                       L"100 " + std::to_wstring(kListedFirstCell) + L" " + std::to_wstring(kColumns),
                                       true);
        listedOwner.ReadLine(60s);
        std::vector<std::pair<HWND, POINT>> listed;
        for (int cell = kListedFirstCell; cell < kListedFirstCell + 100; ++cell) {
            listed.push_back({::FindWindowW(L"VeilkeeperBenchWindow", (L"window " + std::to_wstring(cell)).c_str()),
                              CellCentre(cell)});
        }
        const auto ours100 = HideLatency(StartVeilkeeper, target, 50, true, listed);
        const auto bare100 = HideLatency(StartBaseline, target, 50, true, listed);
        listedOwner.CloseInput();
        listedOwner.WaitForExit(30s);
        Row("hide latency, ms (hide-key down to target invisible, 50 runs)", SpreadOf(ours), SpreadOf(bare));
        Row("the same with Veilkeeper's own window hidden", SpreadOf(oursHidden), SpreadOf(bare));
        Row("the same with 100 rows already listed, main window shown", SpreadOf(ours100), SpreadOf(bare100));

        // What Veilkeeper's steps before the hide cost on their own, asked of
        // the same target from here.
        std::vector<double> icon, classIcon, title;
        for (int i = 0; i < 50; ++i) {
            DWORD_PTR answer = 0;
            auto begin = Clock::now();
            ::SendMessageTimeoutW(target, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG, 300, &answer);
            ::SendMessageTimeoutW(target, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, 300, &answer);
            icon.push_back(Ms(Clock::now() - begin));
            begin = Clock::now();
            ::GetClassLongPtrW(target, GCLP_HICONSM);
            ::GetClassLongPtrW(target, GCLP_HICON);
            classIcon.push_back(Ms(Clock::now() - begin));
            begin = Clock::now();
            wchar_t text[511];
            ::GetWindowTextW(target, text, 511);
            title.push_back(Ms(Clock::now() - begin));
        }
        const Spread none{0, 0, 0};
        auto step = [&](const char* what, const std::vector<double>& samples) {
            const Spread s = SpreadOf(samples);
            std::printf("| step: %s, ms | %.3f (%.3f-%.3f) | %.3f | |\n", what, s.median, s.p10, s.p90, none.median);
        };
        step("icon requests (small, then big)", icon);
        step("class icons", classIcon);
        step("title", title);
    }

    // 2. Scale: 1,000 windows of four programs.
    if (runs(L"scale")) {
        ScaleResult results[2];
        for (int round = 0; round < 2; ++round) {
            std::vector<std::unique_ptr<test::ChildProcess>> owners;
            for (int p = 0; p < 4; ++p) {
                owners.push_back(std::make_unique<test::ChildProcess>(
                    test::ProgramFolder() + L"\\bench_windows.exe",
                    std::to_wstring(250) + L" " + std::to_wstring(p * 250) + L" " + std::to_wstring(kColumns), true));
                owners.back()->ReadLine(60s);
            }
            std::vector<HWND> windows;
            for (int i = 0; i < 1000; ++i) {
                windows.push_back(::FindWindowW(L"VeilkeeperBenchWindow", (L"window " + std::to_wstring(i)).c_str()));
            }
            Subject s = round == 0 ? StartVeilkeeper() : StartBaseline();
            if (round == 0) {
                ::PostMessageW(s.window, WM_SYSCOMMAND, SC_CLOSE, 0);  // out of the windows' way
                WaitVisible(s.window, false);
            }
            results[round] = Scale(s, windows);
            for (auto& owner : owners) {
                owner->CloseInput();
                owner->WaitForExit(30s);
            }
        }
        Row("hide, ms per window, windows 1-10", SpreadOf(results[0].first10), SpreadOf(results[1].first10));
        Row("hide, ms per window, windows 11-100", SpreadOf(results[0].next90), SpreadOf(results[1].next90));
        Row("hide, ms per window, windows 101-1000", SpreadOf(results[0].last900), SpreadOf(results[1].last900));
        std::printf("| restore all on Exit, ms per window (mean) | %.2f | %.2f | %.2f |\n", results[0].restorePerWindow,
                    results[1].restorePerWindow, results[0].restorePerWindow / results[1].restorePerWindow);
        std::printf("| hides asked for twice (left out above) | %d | %d | |\n", results[0].missed, results[1].missed);
    }

    // 4. Start-up.
    if (runs(L"startup")) {
        const auto ours = StartUp(L"Veilkeeper.exe", 15);
        const auto bare = StartUp(L"bare_dialog.exe", 15);
        Row("start-up, ms (process start to main window visible, 15 runs)", SpreadOf(ours.ms), SpreadOf(bare.ms));
        if (!ours.workingSet.empty() && !bare.workingSet.empty()) {
            Row("working set after start, MiB (bare dialog as baseline)", SpreadOf(ours.workingSet),
                SpreadOf(bare.workingSet));
        }
    }

    return 0;
}
