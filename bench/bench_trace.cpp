// Where a hide's time goes: Veilkeeper's main window runs in this process
// with timed window-system services and timed window procedures on the
// dialog, the list and its header, so every step of a hide and everything the
// main window does in the same interval is stamped with QueryPerformanceCounter.
// The bare baseline's calls run the same way on a plain window of this process.
// Usage: bench_trace.exe [latency|scale|check] [count]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "hider_dlg.h"
#include "input.h"
#include "modal_driver.h"
#include "poll.h"
#include "registry_settings_store.h"
#include "registry_window_record.h"
#include "resource.h"
#include "user_settings.h"
#include "window_services.h"

namespace {

using namespace std::chrono_literals;

double g_ticksPerMs = 1;

long long Now() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// One stamped interval on some thread: what ran, from when to when.
struct Span {
    std::string what;
    long long begin, end;
};

class Trace {
public:
    void Add(std::string what, long long begin, long long end) {
        std::lock_guard lock(m_mutex);
        m_spans.push_back({std::move(what), begin, end});
    }
    std::vector<Span> Take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_spans, {});
    }

private:
    std::mutex m_mutex;
    std::vector<Span> m_spans;
};
Trace g_trace;

// What a block of code took, stamped on leaving it.
class Stamp {
public:
    explicit Stamp(std::string what) : m_what(std::move(what)), m_begin(Now()) {}
    ~Stamp() { g_trace.Add(std::move(m_what), m_begin, Now()); }

private:
    std::string m_what;
    long long m_begin;
};

// What `call` returns, its time stamped under `what`.
template <typename Call>
auto Timed(const char* what, Call call) {
    Stamp s(what);
    return call();
}

// The real services, each call stamped; the icon can be left unasked to see
// what asking costs.
class TimedServices final : public platform::WindowServices {
public:
    bool askIcon = true;

    HWND WindowFromPoint(POINT point) override {
        return Timed("service: WindowFromPoint", [&] { return m_real.WindowFromPoint(point); });
    }
    HWND TopLevelWindow(HWND window) override {
        return Timed("service: TopLevelWindow", [&] { return m_real.TopLevelWindow(window); });
    }
    std::optional<platform::WindowFacts> DescribeWindow(HWND window) override {
        return Timed("service: DescribeWindow", [&] { return m_real.DescribeWindow(window); });
    }
    bool IsExempt(HWND window, const platform::WindowFacts& facts) override {
        return Timed("service: IsExempt", [&] { return m_real.IsExempt(window, facts); });
    }
    bool IsShown(HWND window) override { return m_real.IsShown(window); }
    std::vector<platform::OwnedWindow> OwnedWindows(HWND owner) override {
        return Timed("service: OwnedWindows", [&] { return m_real.OwnedWindows(owner); });
    }
    HWND ForegroundWindow() override {
        return Timed("service: ForegroundWindow", [&] { return m_real.ForegroundWindow(); });
    }
    bool IsEnabled(HWND window) override { return m_real.IsEnabled(window); }
    bool WatchProcessWindows(HWND notify, UINT message, DWORD processId) override {
        return Timed("service: WatchProcessWindows", [&] { return m_real.WatchProcessWindows(notify, message, processId); });
    }
    void StopWatchingProcessWindows(DWORD processId) override { m_real.StopWatchingProcessWindows(processId); }
    std::vector<platform::WindowEvent> TakeWindowEvents() override { return m_real.TakeWindowEvents(); }
    bool IsWindowOfThread(HWND window, DWORD processId, DWORD threadId) override {
        return Timed("service: IsWindowOfThread", [&] { return m_real.IsWindowOfThread(window, processId, threadId); });
    }
    bool HideTarget(HWND window) override {
        return Timed("service: HideTarget", [&] { return m_real.HideTarget(window); });
    }
    bool ShowTarget(HWND window, bool inFront) override {
        return Timed("service: ShowTarget", [&] { return m_real.ShowTarget(window, inFront); });
    }
    void BringToFront(HWND window) override { m_real.BringToFront(window); }
    std::wstring WindowTitle(HWND window) override {
        return Timed("service: WindowTitle", [&] { return m_real.WindowTitle(window); });
    }
    HICON WindowIcon(HWND window) override {
        return Timed("service: WindowIcon", [&] { return askIcon ? m_real.WindowIcon(window) : nullptr; });
    }
    void RequestWindowMenu(HWND window, POINT screenPoint) override { m_real.RequestWindowMenu(window, screenPoint); }
    void SoundWarning() override { m_real.SoundWarning(); }
    bool CursorPos(POINT& point) override {
        return Timed("service: CursorPos", [&] { return m_real.CursorPos(point); });
    }
    bool LeftButtonDown() override { return m_real.LeftButtonDown(); }
    void CaptureMouse(HWND window) override { m_real.CaptureMouse(window); }
    void ReleaseMouse() override { m_real.ReleaseMouse(); }
    void SetCursorShape(HCURSOR cursor) override { m_real.SetCursorShape(cursor); }
    bool RegisterHotKey(HWND window, int id, UINT modifiers, UINT virtualKey) override {
        return m_real.RegisterHotKey(window, id, modifiers, virtualKey);
    }
    void UnregisterHotKey(HWND window, int id) override { m_real.UnregisterHotKey(window, id); }
    bool WatchKeyboard(HWND window) override { return m_real.WatchKeyboard(window); }
    void StopWatchingKeyboard() override { m_real.StopWatchingKeyboard(); }
    std::optional<platform::KeyEvent> ReadKeyEvent(LPARAM rawInput) override {
        return Timed("service: ReadKeyEvent", [&] { return m_real.ReadKeyEvent(rawInput); });
    }
    bool KeyInputQueued() override {
        return Timed("service: KeyInputQueued", [&] { return m_real.KeyInputQueued(); });
    }
    bool KeyIsDown(UINT virtualKey) override { return m_real.KeyIsDown(virtualKey); }
    platform::KeyRepeat KeyRepeatSettings() override { return m_real.KeyRepeatSettings(); }
    std::uint64_t NowMs() override { return m_real.NowMs(); }
    std::uint64_t MessageTimeMs() override { return m_real.MessageTimeMs(); }

private:
    platform::WindowServices& m_real = platform::Win32WindowServices();
};

// The durable record, each change stamped.
class TimedRecord final : public hider::WindowRecord {
public:
    hider::RecordContents Load() override { return m_real.Load(); }
    bool Add(const hider::RecordEntry& entry) override {
        Stamp s("record: Add");
        return m_real.Add(entry);
    }
    void Remove(std::uint32_t order) override {
        Stamp s("record: Remove");
        m_real.Remove(order);
    }
    void RemoveIfEmpty() override {
        Stamp s("record: RemoveIfEmpty");
        m_real.RemoveIfEmpty();
    }

private:
    hider::WindowRecord& m_real = hider::UserWindowRecord();
};

// Window procedures wrapped so each message's handling is stamped with the
// window's part and the message's name.
std::map<HWND, std::pair<WNDPROC, std::string>> g_wrapped;
std::mutex g_wrappedMutex;

std::string MessageName(UINT message) {
    switch (message) {
    case WM_PAINT: return "WM_PAINT";
    case WM_NCPAINT: return "WM_NCPAINT";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_SETREDRAW: return "WM_SETREDRAW";
    case WM_HOTKEY: return "WM_HOTKEY";
    case WM_INPUT: return "WM_INPUT";
    case WM_NOTIFY: return "WM_NOTIFY";
    case WM_CTLCOLORSTATIC: return "WM_CTLCOLORSTATIC";
    case WM_CTLCOLORBTN: return "WM_CTLCOLORBTN";
    case WM_NCCALCSIZE: return "WM_NCCALCSIZE";
    case WM_WINDOWPOSCHANGING: return "WM_WINDOWPOSCHANGING";
    case WM_WINDOWPOSCHANGED: return "WM_WINDOWPOSCHANGED";
    case WM_STYLECHANGING: return "WM_STYLECHANGING";
    case WM_STYLECHANGED: return "WM_STYLECHANGED";
    case WM_SIZE: return "WM_SIZE";
    case WM_TIMER: return "WM_TIMER";
    case LVM_INSERTITEMW: return "LVM_INSERTITEM";
    case LVM_DELETEALLITEMS: return "LVM_DELETEALLITEMS";
    case WM_SETCURSOR: return "WM_SETCURSOR";
    case WM_NCHITTEST: return "WM_NCHITTEST";
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_GETICON: return "WM_GETICON";
    default: {
        char name[16];
        std::snprintf(name, sizeof name, "0x%04X", message);
        return name;
    }
    }
}

// Leaves the list's WM_SETREDRAW unhandled, to see what the toggling costs.
bool g_dropSetRedraw = false;

LRESULT CALLBACK TimedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC real = nullptr;
    std::string what;
    {
        std::lock_guard lock(g_wrappedMutex);
        const auto& wrapped = g_wrapped.at(window);
        real = wrapped.first;
        what = wrapped.second;
    }
    what += message == WM_TIMER && wParam == hider::HiddenWindows::kCatchUpTimerId ? " catch-up"
                                                                                   : " " + MessageName(message);
    if (message == WM_SETREDRAW) {
        what += wParam ? "(TRUE)" : "(FALSE)";
    }
    if (message == WM_SETREDRAW && g_dropSetRedraw) {
        return 0;
    }
    Stamp s(std::move(what));
    return ::CallWindowProcW(real, window, message, wParam, lParam);
}

void Wrap(HWND window, std::string part) {
    std::lock_guard lock(g_wrappedMutex);
    g_wrapped[window] = {reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)), std::move(part)};
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TimedProc));
}

// The baseline's hotkey handling (bench/baseline_hider.cpp) through the same
// timed services, on a plain window of this process.
TimedServices* g_bareServices = nullptr;
LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
        Stamp s("bare WM_HOTKEY");
        POINT pointer{};
        if (g_bareServices->CursorPos(pointer)) {
            HWND target = g_bareServices->TopLevelWindow(g_bareServices->WindowFromPoint(pointer));
            if (target != nullptr && target != window) {
                g_bareServices->HideTarget(target);
            }
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct Sample {
    double total;  // hide-key down to target invisible
    double hotkeyArrives = -1;  // hide-key down to WM_HOTKEY's handling
    std::map<std::string, double> inside;  // ms spent in each span within that interval
    std::map<std::string, double> after;   // ms spent in each span in the 100 ms after it
};

// Presses the hide-key and waits for `target` to go; the spans stamped
// meanwhile and just after.
Sample HideOnce(HWND target, POINT over) {
    test::MovePointer(over);
    ::Sleep(30);  // the pointer's own messages settle first
    g_trace.Take();
    const long long begin = Now();
    test::KeyDown(test::kDefaultHideKey);
    long long invisible = 0;
    const long long deadline = begin + static_cast<long long>(g_ticksPerMs * 5000);
    while (::IsWindowVisible(target) && Now() < deadline) {
    }
    invisible = Now();
    test::KeyUp(test::kDefaultHideKey);
    ::Sleep(100);
    const long long settled = Now();
    Sample sample{static_cast<double>(invisible - begin) / g_ticksPerMs, -1, {}, {}};
    for (const Span& span : g_trace.Take()) {
        if (sample.hotkeyArrives < 0 && span.what.find("WM_HOTKEY") != std::string::npos) {
            sample.hotkeyArrives = static_cast<double>(span.begin - begin) / g_ticksPerMs;
        }
        const long long inBegin = std::max(span.begin, begin), inEnd = std::min(span.end, invisible);
        if (inEnd > inBegin) {
            sample.inside[span.what] += static_cast<double>(inEnd - inBegin) / g_ticksPerMs;
        }
        const long long afterBegin = std::max(span.begin, invisible), afterEnd = std::min(span.end, settled);
        if (afterEnd > afterBegin) {
            sample.after[span.what] += static_cast<double>(afterEnd - afterBegin) / g_ticksPerMs;
        }
    }
    return sample;
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Report(const char* title, const std::vector<Sample>& samples) {
    std::vector<double> totals, arrivals;
    std::map<std::string, std::vector<double>> inside, after;
    for (const Sample& s : samples) {
        totals.push_back(s.total);
        arrivals.push_back(s.hotkeyArrives);
    }
    for (const Sample& s : samples) {
        for (const auto& [what, ms] : s.inside) {
            inside[what];
        }
        for (const auto& [what, ms] : s.after) {
            after[what];
        }
    }
    for (const Sample& s : samples) {
        for (auto& [what, v] : inside) {
            auto found = s.inside.find(what);
            v.push_back(found != s.inside.end() ? found->second : 0.0);
        }
        for (auto& [what, v] : after) {
            auto found = s.after.find(what);
            v.push_back(found != s.after.end() ? found->second : 0.0);
        }
    }
    std::sort(totals.begin(), totals.end());
    std::printf("\n### %s: %zu hides, hotkey to target invisible median %.3f ms (p10 %.3f, p90 %.3f)\n", title,
                samples.size(), Median(totals), totals[totals.size() / 10], totals[totals.size() * 9 / 10]);
    std::printf("hide-key down to WM_HOTKEY handled: median %.3f ms\n", Median(arrivals));
    std::printf("| span | median ms before invisible | mean | median ms in the 100 ms after | mean |\n|---|---|---|---|---|\n");
    std::map<std::string, bool> names;
    for (const auto& [what, v] : inside) names[what] = true;
    for (const auto& [what, v] : after) names[what] = true;
    for (const auto& [what, unused] : names) {
        auto mean = [](const std::vector<double>& v) {
            double sum = 0;
            for (double x : v) sum += x;
            return v.empty() ? 0.0 : sum / static_cast<double>(v.size());
        };
        const auto& in = inside[what];
        const auto& af = after[what];
        std::printf("| %s | %.3f | %.3f | %.3f | %.3f |\n", what.c_str(), Median(in), mean(in), Median(af), mean(af));
    }
}

HWND StartTarget(std::unique_ptr<test::ChildProcess>& process) {
    process = std::make_unique<test::ChildProcess>(test::ProgramFolder() + L"\\target_window.exe", L"Traced 20 20",
                                                   true);
    void* handle = nullptr;
    std::sscanf(process->ReadLine(20s).value_or("").c_str(), "%p", &handle);
    return static_cast<HWND>(handle);
}

// Which window the i-th hide is over, and what follows it.
struct Scenario {
    std::function<std::pair<HWND, POINT>(int)> targetOf;
    bool restore;  // show the target again after each hide, and empty the list
};

// The baseline's hotkey handling on a plain window of this process.
std::vector<Sample> RunBare(const Scenario& scenario, int hides) {
    TimedServices bareServices;
    g_bareServices = &bareServices;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &BareProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VeilkeeperTraceBare";
    ::RegisterClassW(&windowClass);
    HWND bare = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ::RegisterHotKey(bare, 105, 0, test::kDefaultHideKey);
    std::vector<Sample> samples;
    std::thread script([&] {
        for (int i = 0; i < hides; ++i) {
            auto [target, over] = scenario.targetOf(i);
            samples.push_back(HideOnce(target, over));
            if (scenario.restore) {
                ::ShowWindow(target, SW_SHOWNA);
                test::WaitFor([&] { return ::IsWindowVisible(target) != FALSE; });
            }
        }
        ::PostMessageW(bare, WM_CLOSE, 0, 0);
    });
    MSG msg;
    while (::IsWindow(bare) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    script.join();
    return samples;
}

struct Variant {
    bool windowShown = true;
    bool askIcon = true;
    std::vector<std::pair<HWND, POINT>> listedFirst;  // hidden before the traced hides
    bool dropSetRedraw = false;
};

// Hides the window under each point with the hide-key, untraced.
void HideAll(const std::vector<std::pair<HWND, POINT>>& windows) {
    for (const auto& [window, point] : windows) {
        test::MovePointer(point);
        test::KeyDown(test::kDefaultHideKey);
        test::WaitFor([&] { return !::IsWindowVisible(window); }, 2s);
        test::KeyUp(test::kDefaultHideKey);
    }
}

// How long each tick of the check for windows closed while hidden took, in
// the 1.6 s after the last hide (about three ticks), with every row listed.
std::vector<double> g_checkTicks;

std::vector<Sample> RunVeilkeeper(const Scenario& scenario, int hides, const Variant& variant) {
    TimedServices services;
    TimedRecord record;
    services.askIcon = variant.askIcon;
    g_dropSetRedraw = variant.dropSetRedraw;
    CHiderDlg dialog(services, settings::UserSettings(), record);
    std::vector<Sample> samples;
    test::RunModal(dialog, [&](test::ModalDriver& d) {
        HWND list = d.Item(IDC_HIDDEN_LIST);
        {
            std::lock_guard lock(g_wrappedMutex);
            g_wrapped.clear();
        }
        // Wrapped from here: the windows belong to this process.
        Wrap(d.Window(), "dialog");
        Wrap(list, "list");
        Wrap(ListView_GetHeader(list), "header");
        if (!variant.windowShown) {
            ::ShowWindow(d.Window(), SW_HIDE);
        }
        HideAll(variant.listedFirst);
        ::Sleep(200);
        for (int i = 0; i < hides; ++i) {
            auto [target, over] = scenario.targetOf(i);
            samples.push_back(HideOnce(target, over));
            if (scenario.restore) {
                // Shown again from here: its row stays, so the list grows by
                // one row a hide (past a screenful, with a scroll bar).
                ::ShowWindow(target, SW_SHOWNA);
                test::WaitFor([&] { return ::IsWindowVisible(target) != FALSE; });
            }
        }
        g_trace.Take();
        ::Sleep(1600);
        g_checkTicks.clear();
        for (const Span& span : g_trace.Take()) {
            if (span.what == "dialog WM_TIMER") {
                g_checkTicks.push_back(static_cast<double>(span.end - span.begin) / g_ticksPerMs);
            }
        }
        {
            std::lock_guard lock(g_wrappedMutex);
            for (auto& [window, wrapped] : g_wrapped) {
                ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wrapped.first));
            }
            g_wrapped.clear();
        }
        // Every window back, and the record emptied.
        ::PostMessageW(d.Window(), WM_COMMAND, ID_EXIT, 0);
        d.Ended(30000);
    });
    return samples;
}

void ReportCheckTicks(int rows) {
    std::printf("the check for windows closed while hidden, with %d rows: %zu ticks, median %.3f ms a tick "
                "(one every %u ms)\n",
                rows, g_checkTicks.size(), Median(g_checkTicks), hider::HiddenWindows::kCheckIntervalMs);
}

std::vector<Sample> Stretch(const std::vector<Sample>& samples, size_t from, size_t to) {
    return {samples.begin() + static_cast<std::ptrdiff_t>(std::min(from, samples.size())),
            samples.begin() + static_cast<std::ptrdiff_t>(std::min(to, samples.size()))};
}

}  // namespace

// latency [hides]: one target_window, shown again from here after each hide
// (its rows stay listed).
// scale [windows]: that many bench windows of one program, hidden one by one.
// check [windows]: that many hidden, then the check for closed windows timed.
int wmain(int argc, wchar_t** argv) {
    const std::wstring what = argc > 1 ? argv[1] : L"latency";
    const int hides = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 30;
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;

    if (what == L"latency") {
        std::unique_ptr<test::ChildProcess> targetProcess;
        HWND target = StartTarget(targetProcess);
        RECT rect{};
        ::GetWindowRect(target, &rect);
        const POINT overTarget = test::CentreOf(rect);
        const Scenario scenario{[&](int) { return std::make_pair(target, overTarget); }, true};
        Report("bare baseline, one target_window", Stretch(RunBare(scenario, hides + 2), 2, 1000));
        Report("Veilkeeper, main window shown", Stretch(RunVeilkeeper(scenario, hides + 2, {}), 2, 1000));
        Report("Veilkeeper, main window hidden", Stretch(RunVeilkeeper(scenario, hides + 2, {false, true, {}}), 2, 1000));
    } else if (what == L"check") {
        // That many bench windows hidden (untraced), then the check's ticks.
        constexpr int kCell = 32, kColumns = 40;
        test::ChildProcess owner(test::ProgramFolder() + L"\\bench_windows.exe",
                                 std::to_wstring(hides) + L" 0 " + std::to_wstring(kColumns), true);
        owner.ReadLine(60s);
        Variant variant{false, true, {}};
        for (int i = 0; i < hides; ++i) {
            variant.listedFirst.push_back(
                {::FindWindowW(L"VeilkeeperBenchWindow", (L"window " + std::to_wstring(i)).c_str()),
                 POINT{(i % kColumns) * kCell + kCell / 2, (i / kColumns) * kCell + kCell / 2}});
        }
        RunVeilkeeper(Scenario{[](int) { return std::make_pair(HWND{}, POINT{}); }, false}, 0, variant);
        ReportCheckTicks(hides);
        owner.CloseInput();
        owner.WaitForExit(30s);
    } else {
        constexpr int kCell = 32, kColumns = 40;
        for (int round = 0; round < 4; ++round) {
            test::ChildProcess owner(test::ProgramFolder() + L"\\bench_windows.exe",
                                     std::to_wstring(hides) + L" 0 " + std::to_wstring(kColumns), true);
            owner.ReadLine(60s);
            const Scenario scenario{[&](int i) {
                                        const std::wstring title = L"window " + std::to_wstring(i);
                                        HWND window = ::FindWindowW(L"VeilkeeperBenchWindow", title.c_str());
                                        const POINT over{(i % kColumns) * kCell + kCell / 2,
                                                         (i / kColumns) * kCell + kCell / 2};
                                        return std::make_pair(window, over);
                                    },
                                    false};
            std::vector<Sample> samples = round == 0   ? RunBare(scenario, hides)
                                          : round == 1 ? RunVeilkeeper(scenario, hides, {false, true, {}})
                                          : round == 2 ? RunVeilkeeper(scenario, hides, {true, true, {}})
                                                       : RunVeilkeeper(scenario, hides, {true, true, {}, true});
            const char* who = round == 0   ? "bare baseline"
                              : round == 1 ? "Veilkeeper, main window hidden"
                              : round == 2 ? "Veilkeeper, main window shown"
                                           : "Veilkeeper, main window shown, no WM_SETREDRAW";
            Report((std::string(who) + ", bench windows 1-10").c_str(), Stretch(samples, 0, 10));
            Report((std::string(who) + ", bench windows 11-" + std::to_string(hides)).c_str(),
                   Stretch(samples, 10, static_cast<size_t>(hides)));
            if (round != 0) {
                ReportCheckTicks(hides);
            }
            owner.CloseInput();
            owner.WaitForExit(30s);
        }
    }
    return 0;
}
