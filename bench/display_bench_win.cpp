// Display-mode benchmark: what one animation tick, the stamp, the tick period at several speeds, the CPU of the
// process and of the whole system (drawing and with the display off), the memory, the start-up and the end on a key
// cost, each beside a reference measured in the same run on the same screen. Prints figures only: it never fails on
// time, only when it could not measure.
//   orbi_display_bench.exe          the full run (a minute or two at 1920 x 1080)
//   orbi_display_bench.exe smoke    the same table from a few samples of each, in seconds
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

#include "bench/linux_cpu_win.h"
#include "display/display_window_win.h"
#include "platform/handles_win.h"
#include "platform/win_api_win.h"
#include "support/process_win.h"
#include "support/scripted_random.h"
#include "support/windows_win.h"

namespace orbi {
namespace {

// How much of each is measured: the full run, or a smoke run that only proves the benchmark works.
struct Plan {
    bool smoke = false;
    int startRuns = 9;            // start-up and key runs of each program, taken in turns
    DWORD startRunMs = 1500;      // how long each started program runs before the key
    DWORD longRunMs = 25000;      // longer than the shortest scene, so that the canvases have filled; 0: none
    int tickSamples = 400;        // ticks, stamps and copies timed one by one
    int copySamples = 100;        // memcpy of one frame
    int speedPeriods = 40;        // periods timed at each speed, and Sleep(N) calls beside them
    DWORD sceneLimitMs = 120000;  // the whole scene at Speed 10, unless it outlasts this
    DWORD displayOffMs = 10000;   // CPU measured with the display off
    int gdiScenes = 10;           // whole scenes at Speed 0, counting live GDI objects
};

Plan SmokePlan() {
    Plan plan;
    plan.smoke = true;
    plan.startRuns = 1;
    plan.startRunMs = 300;
    plan.longRunMs = 0;
    plan.tickSamples = 60;
    plan.copySamples = 10;
    plan.speedPeriods = 5;
    plan.sceneLimitMs = 1500;
    plan.displayOffMs = 1000;
    plan.gdiScenes = 1;
    return plan;
}

constexpr int kSpeeds[] = {1, 10, 20, 50, 100};
constexpr int kDrawingSpeed = 10;
constexpr int kRowStep = 20;
constexpr int kChangedPixels = 40;  // a first frame: this many sampled pixels differ from the screen before the start
constexpr int kScriptedScenes = 60;
constexpr int kShortestSceneTicks = 1667;  // ClockStep 9
constexpr double kMiB = 1024.0 * 1024.0;
// The console display's power state, as Windows announces it to a window registered for it.
constexpr GUID kConsoleDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;
constexpr DWORD kDisplayOn = 1;

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Mean(const std::vector<double>& v) {
    return v.empty() ? 0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

// The smallest value that at least 95 % of the samples do not exceed.
double Percentile95(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t rank = (v.size() * 95 + 99) / 100;
    return v[std::max<size_t>(rank, 1) - 1];
}

double CpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) {
        return ((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

void Pump(DWORD ms) {
    test::WaitUntil([] { return false; }, ms);
}

std::vector<double> TimeSleeps(DWORD ms, int count) {
    std::vector<double> v;
    for (int i = 0; i < count; ++i) {
        const double t = NowMs();
        Sleep(ms);
        v.push_back(NowMs() - t);
    }
    return v;
}

// The whole screen read back, to see when a program's first frame has appeared.
class ScreenWatch {
  public:
    ScreenWatch() : w_(GetSystemMetrics(SM_CXSCREEN)), h_(GetSystemMetrics(SM_CYSCREEN)) {
        before_.Resize(w_, h_);
        now_.Resize(w_, h_);
    }
    void TakeBaseline() { Grab(before_); }
    // Rows every kRowStep pixels: any 50-pixel sprite crosses at least two of them, and reading rows is far
    // quicker than reading the whole screen.
    int Changed() {
        Grab(now_);
        int changed = 0;
        for (int y = 0; y < h_; y += kRowStep) {
            const uint32_t* a = before_.bits() + static_cast<size_t>(y) * w_;
            const uint32_t* b = now_.bits() + static_cast<size_t>(y) * w_;
            for (int x = 0; x < w_; ++x)
                changed += ((a[x] ^ b[x]) & 0xFFFFFF) != 0;
        }
        return changed;
    }
    double GrabMs() {
        const double t = NowMs();
        Grab(now_);
        return NowMs() - t;
    }
    int width() const { return w_; }
    int height() const { return h_; }

  private:
    void Grab(BackingImage& into) {
        HDC screen = GetDC(nullptr);
        for (int y = 0; y < h_; y += kRowStep)
            BitBlt(into.dc(), 0, y, w_, 1, screen, 0, y, SRCCOPY);
        ReleaseDC(nullptr, screen);
        GdiFlush();
    }
    int w_, h_;
    BackingImage before_, now_;
};

struct ProgramRun {
    bool ok = false;
    double windowMs = 0;  // the program's window exists
    double shownMs = 0;   // ... and is visible
    double firstFrameMs = 0;
    double workingSetMiB = 0;
    double peakWorkingSetMiB = 0;
    double keyToExitMs = 0;
};

// Starts a program, waits for its first frame, lets it run a while, reads its memory, then presses Shift.
ProgramRun RunProgram(ScreenWatch& screen,
                      const std::wstring& exe,
                      const std::wstring& args,
                      const wchar_t* title,
                      DWORD runMs) {
    ProgramRun run;
    Pump(300);
    screen.TakeBaseline();
    test::ScrProcess proc;
    const double start = NowMs();
    if (!proc.Start(exe, args))
        return run;
    bool shown = false;
    HWND window = nullptr;
    while (NowMs() - start < 20000) {
        if (!window && (window = FindWindowW(nullptr, title)) != nullptr)
            run.windowMs = NowMs() - start;
        if (window && run.shownMs == 0 && IsWindowVisible(window))
            run.shownMs = NowMs() - start;
        if (screen.Changed() >= kChangedPixels) {
            shown = true;
            break;
        }
    }
    run.firstFrameMs = NowMs() - start;
    if (!shown)
        return run;
    Pump(runMs);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(proc.handle(), &counters, sizeof counters)) {
        run.workingSetMiB = counters.WorkingSetSize / kMiB;
        run.peakWorkingSetMiB = counters.PeakWorkingSetSize / kMiB;
    }
    const double pressed = NowMs();
    test::SendKey(VK_SHIFT);
    const bool ended = WaitForSingleObject(proc.handle(), 20000) == WAIT_OBJECT_0;
    run.keyToExitMs = NowMs() - pressed;
    run.ok = ended;
    return run;
}

// CPU seconds of the drawing processes at one moment.
struct CpuSnapshot {
    double wallMs = 0;
    double windowsMs = 0;  // what the system's own call tells this process, to compare
    std::vector<double> seconds;
};

CpuSnapshot TakeCpu(const std::vector<bench::LinuxProcess>& processes) {
    CpuSnapshot s;
    s.wallMs = NowMs();
    s.windowsMs = CpuMs();
    for (const bench::LinuxProcess& p : processes)
        s.seconds.push_back(bench::CpuSeconds(p.pid));
    return s;
}

// Percent of one core each drawing process spent between two snapshots (negative: not measured), then the sum.
struct CpuShares {
    std::vector<double> percent;
    double windows = 0;
    double own() const { return percent.empty() ? -1 : percent[0]; }
    double system() const {
        double sum = 0;
        for (double p : percent)
            sum += std::max(p, 0.0);
        return own() < 0 ? -1 : sum;
    }
};

CpuShares Shares(const CpuSnapshot& a, const CpuSnapshot& b) {
    CpuShares shares;
    const double seconds = (b.wallMs - a.wallMs) / 1000;
    shares.windows = seconds > 0 ? (b.windowsMs - a.windowsMs) / 10 / seconds : 0;
    for (size_t i = 0; i < a.seconds.size(); ++i)
        shares.percent.push_back(
            a.seconds[i] < 0 || b.seconds[i] < 0 || seconds <= 0 ? -1 : 100 * (b.seconds[i] - a.seconds[i]) / seconds);
    // Without /proc (on Windows) the system's own count stands for the process.
    if (!shares.percent.empty() && shares.percent[0] < 0)
        shares.percent[0] = shares.windows;
    return shares;
}

// The window's own Timer3 and message loop (the saver's loop is GetMessage; this one also watches the clock), for
// at most `limitMs`, or until `maxTicks` ticks, or until the scene ends when asked. Returns when each tick ended.
std::vector<double> RunOwnTimer(DisplayWindow& window, DWORD limitMs, size_t maxTicks, bool untilSceneEnds) {
    std::vector<double> ends;
    int16_t lastClock = window.state().PathClock;
    int16_t lastCanvas = window.state().CanvasIndex;
    const double start = NowMs();
    for (;;) {
        const double left = limitMs - (NowMs() - start);
        if (left <= 0 || ends.size() >= maxTicks)
            break;
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // Waits as the saver's own loop would, so that an idle window costs nothing here either.
            MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left) + 1, QS_ALLINPUT);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        const DisplayState& s = window.state();
        if (s.PathClock == lastClock && s.CanvasIndex == lastCanvas)
            continue;
        ends.push_back(NowMs());
        const bool sceneEnded = s.PathClock < lastClock;
        lastClock = s.PathClock;
        lastCanvas = s.CanvasIndex;
        if (untilSceneEnds && sceneEnded)
            break;
    }
    return ends;
}

std::vector<double> Periods(const std::vector<double>& ends) {
    std::vector<double> periods;
    for (size_t i = 1; i < ends.size(); ++i)
        periods.push_back(ends[i] - ends[i - 1]);
    return periods;
}

// What Windows sends to a window registered for the console display's state, in this process's memory.
void SendDisplayState(HWND window, DWORD state) {
    alignas(POWERBROADCAST_SETTING) unsigned char record[offsetof(POWERBROADCAST_SETTING, Data) + sizeof(DWORD)] = {};
    auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(record);
    setting->PowerSetting = kConsoleDisplayState;
    setting->DataLength = sizeof(DWORD);
    std::memcpy(setting->Data, &state, sizeof state);
    SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(record));
}

struct Row {
    std::string what, value, reference, ratio, goal, met;
};

template <typename... Args>
std::string Fmt(const char* format, Args... args) {
    char buf[160];
    std::snprintf(buf, sizeof buf, format, args...);
    return buf;
}

std::string Percent(double p) {
    return p < 0 ? "not measured" : Fmt("%.1f %%", p);
}

std::string Times3(const std::vector<double>& v) {
    return Fmt("%.2f / %.2f / %.2f ms", Median(v), Mean(v), Percentile95(v));
}

const char* Met(bool ok) {
    return ok ? "yes" : "NO";
}

void Print(const std::vector<Row>& rows) {
    const char* format = "%-44s %-24s %-46s %-7s %-12s %s\n";
    std::printf(format, "measure", "Orbimotion", "reference (same run)", "ratio", "goal", "met");
    for (const Row& r : rows)
        std::printf(format, r.what.c_str(), r.value.c_str(), r.reference.c_str(), r.ratio.c_str(), r.goal.c_str(),
                    r.met.c_str());
}

int Run(const Plan& plan) {
    ScreenWatch screen;
    const int w = screen.width();
    const int h = screen.height();
    const double frameMiB = static_cast<double>(w) * h * 4 / kMiB;
    std::printf("Orbimotion display benchmark%s: screen %d x %d, frame %.2f MiB, Speed %d unless said\n",
                plan.smoke ? " (smoke run: few samples, figures only indicative)" : "", w, h, frameMiB, kDrawingSpeed);
    if (w != 1920 || h != 1080)
        std::printf("(the goals were set at 1920 x 1080; at this size they are shown for comparison only)\n");
    std::fflush(stdout);
    const std::vector<bench::LinuxProcess> drawing = bench::FindDrawingProcesses();

    // Out of process first: while this process shows a display window, the saver would refuse to start.
    test::ScrInstall install;
    std::vector<double> saverStart, minimalStart, saverShown, minimalShown, saverKey, minimalKey, saverWs, minimalWs;
    const std::wstring minimal = test::WindowsPath(ORBI_MINIMAL_PATH);
    for (int i = 0; i < plan.startRuns; ++i) {
        const ProgramRun s = RunProgram(screen, install.exe(), L"/s", L"Orbimotion_Main", plan.startRunMs);
        const ProgramRun m = RunProgram(screen, minimal, L"", L"Minimal full screen", plan.startRunMs);
        if (!s.ok || !m.ok) {
            std::printf("could not run %s\n", s.ok ? "the minimal program" : "Orbimotion.scr /s");
            return 2;
        }
        saverStart.push_back(s.firstFrameMs);
        saverShown.push_back(s.shownMs);
        minimalStart.push_back(m.firstFrameMs);
        minimalShown.push_back(m.shownMs);
        saverKey.push_back(s.keyToExitMs);
        minimalKey.push_back(m.keyToExitMs);
        saverWs.push_back(s.workingSetMiB);
        minimalWs.push_back(m.workingSetMiB);
    }
    ProgramRun longRun;
    if (plan.longRunMs > 0)
        longRun = RunProgram(screen, install.exe(), L"/s", L"Orbimotion_Main", plan.longRunMs);
    const double grabMs = screen.GrabMs();

    // Sleep(N) alone, before this process has a display window (and so before it asks for any finer clock).
    std::vector<std::vector<double>> sleeps;
    for (int speed : kSpeeds)
        sleeps.push_back(TimeSleeps(speed, plan.speedPeriods));
    std::vector<uint8_t> from(static_cast<size_t>(w) * h * 4, 1), to(from.size(), 0);
    std::vector<double> memcpys;
    for (int i = 0; i < plan.copySamples + 5; ++i) {
        const double t = NowMs();
        std::memcpy(to.data(), from.data(), from.size());
        asm volatile("" : : "r"(to.data()) : "memory");
        if (i >= 5)
            memcpys.push_back(NowMs() - t);
    }

    // In process: the same window class on the same screen, ticks driven by hand, then by its own timer.
    Win32Api api;
    Program p(api);
    p.settings.Speed = 0;
    test::ScriptedRandom random;
    for (int scene = 0; scene < kScriptedScenes; ++scene)
        random.Append(
            test::SceneScript{30 + scene % 2, 31 - scene % 2, 9, 1 + scene % 4, 200 + scene, 250 - scene}.Values());
    int ended = 0;
    DisplaySeams seams;
    seams.random = &random;
    seams.endProgram = [&] { ++ended; };
    DisplayWindow window(p, seams);
    const double loadStart = NowMs();
    window.Load();
    const double loadMs = NowMs() - loadStart;
    window.EnableTimer(DisplayWindow::kTimer3, false);
    Pump(300);

    for (int i = 0; i < 60; ++i)
        window.Timer3_Timer();
    std::vector<double> tick;
    for (int i = 0; i < plan.tickSamples; ++i) {
        const double t = NowMs();
        window.ShowNextFrame();
        GdiFlush();
        tick.push_back(NowMs() - t);
    }
    // The tick's two halves on their own: the stamp, whatever the window stamps with, and the copy to the screen.
    // BlitImage takes its pictures by reference, as the form's code does: the window's own sprite on its own canvas.
    auto& sprite = const_cast<BackingImage&>(window.Pic_Dummy());
    auto& canvas = const_cast<BackingImage&>(window.Master(2));
    std::vector<double> copyCall, stampCall;
    for (int i = 0; i < plan.tickSamples; ++i) {
        double t = NowMs();
        BitBlt(window.DisplayDc(), 0, 0, w, h, window.Master(1).dc(), 0, 0, SRCCOPY);
        GdiFlush();
        copyCall.push_back(NowMs() - t);
        t = NowMs();
        window.BlitImage(sprite, canvas, (i * 7) % (w - 50), (i * 3) % (h - 50));
        GdiFlush();
        stampCall.push_back(NowMs() - t);
    }

    // The tick period at each speed, from the window's own timer.
    std::vector<std::vector<double>> speedPeriods;
    window.EnableTimer(DisplayWindow::kTimer3, true);
    for (int speed : kSpeeds) {
        p.settings.Speed = speed;
        const DWORD limit = static_cast<DWORD>((plan.speedPeriods + 2) * (speed + 100) * 3);
        speedPeriods.push_back(Periods(RunOwnTimer(window, limit, plan.speedPeriods + 1, false)));
    }

    // One whole scene at Speed 10 from its first tick to the first of the next, with the CPU it costs.
    p.settings.Speed = kDrawingSpeed;
    window.SetupScene();
    const CpuSnapshot drawingStart = TakeCpu(drawing);
    const std::vector<double> sceneEnds = RunOwnTimer(window, plan.sceneLimitMs, SIZE_MAX, true);
    const CpuShares drawingShares = Shares(drawingStart, TakeCpu(drawing));
    const std::vector<double> scenePeriods = Periods(sceneEnds);
    const bool wholeScene = !plan.smoke && scenePeriods.size() + 1 >= kShortestSceneTicks;

    // The display turned off as Windows announces it; the window may rest until it comes on again.
    SendDisplayState(window.hwnd(), kDisplayOff);
    const CpuSnapshot offStart = TakeCpu(drawing);
    const size_t ticksWhileOff = RunOwnTimer(window, plan.displayOffMs, SIZE_MAX, false).size();
    const CpuShares offShares = Shares(offStart, TakeCpu(drawing));
    SendDisplayState(window.hwnd(), kDisplayOn);
    const size_t ticksAfterOn = RunOwnTimer(window, 500, 10, false).size();
    window.EnableTimer(DisplayWindow::kTimer3, false);

    // Whole scenes (ClockStep 9: 1667 ticks each) at full speed, counting live GDI objects at each end.
    p.settings.Speed = 0;
    const long gdiStart = LiveGdiObjects();
    long gdiMin = gdiStart, gdiMax = gdiStart;
    int scenes = 0;
    const double scenesStart = NowMs();
    while (scenes < plan.gdiScenes) {
        const int16_t before = window.state().PathClock;
        window.Timer3_Timer();
        if (window.state().PathClock < before) {
            ++scenes;
            gdiMin = std::min(gdiMin, LiveGdiObjects());
            gdiMax = std::max(gdiMax, LiveGdiObjects());
        }
    }
    const double scenesSeconds = (NowMs() - scenesStart) / 1000;

    const double tickMs = Median(tick);
    const double copyMs = Median(memcpys);
    const double startRatio = Median(saverStart) / Median(minimalStart);
    const double memoryGoal = 6 * frameMiB + 30;
    const double stampMs = Median(stampCall);
    const double canvasCopyMs = Median(copyCall);

    std::vector<Row> rows{
        {"tick: stamp, copy to screen, flush", Fmt("%.3f ms", tickMs), Fmt("memcpy of one frame %.3f ms", copyMs),
         Fmt("%.2fx", tickMs / copyMs), "<= 2.7x", Met(tickMs / copyMs <= 2.7)},
        {"stamp: one BlitImage of the sprite", Fmt("%.3f ms", stampMs),
         Fmt("BitBlt of the canvas to screen %.3f ms", canvasCopyMs), Fmt("%.2fx", stampMs / canvasCopyMs), "-", "-"},
    };
    for (size_t i = 0; i < std::size(kSpeeds); ++i) {
        const double period = Median(speedPeriods[i]);
        const double sleep = Median(sleeps[i]);
        const bool goal = kSpeeds[i] == kDrawingSpeed;
        rows.push_back({Fmt("tick period at Speed %d (median)", kSpeeds[i]), Fmt("%.2f ms", period),
                        Fmt("Sleep(%d) alone %.2f ms", kSpeeds[i], sleep), Fmt("%.2fx", period / sleep),
                        goal ? "<= 11.5 ms" : "-", goal ? Met(period <= 11.5) : "-"});
    }
    const std::vector<double>& sleep10 = sleeps[1];
    rows.push_back({Fmt("period over %s: med/mean/p95", wholeScene ? "a whole scene" : "part of a scene"),
                    Times3(scenePeriods), "Sleep(10) alone " + Times3(sleep10), "-", "-", "-"});
    rows.push_back({"process CPU, drawing at Speed 10", Percent(drawingShares.own()), "one core 100 %", "-", "<= 8 %",
                    drawingShares.own() < 0 ? "-" : Met(drawingShares.own() <= 8)});
    rows.push_back({"system CPU (+ X server, wineserver), drawing", Percent(drawingShares.system()),
                    "process alone " + Percent(drawingShares.own()),
                    drawingShares.own() > 0 ? Fmt("%.2fx", drawingShares.system() / drawingShares.own()) : "-", "-",
                    "-"});
    rows.push_back({"process CPU, display off", Percent(offShares.own()), "drawing " + Percent(drawingShares.own()),
                    "-", "< 2 %", offShares.own() < 0 ? "-" : Met(offShares.own() < 2)});
    rows.push_back({"system CPU, display off", Percent(offShares.system()),
                    "drawing " + Percent(drawingShares.system()), "-", "-", "-"});
    rows.push_back({"working set after the start-up run", Fmt("%.1f MiB", Median(saverWs)),
                    Fmt("minimal program %.1f MiB", Median(minimalWs)),
                    Fmt("%.2fx", Median(saverWs) / Median(minimalWs)), Fmt("<= %.1f MiB", memoryGoal),
                    Met(Median(saverWs) <= memoryGoal)});
    if (plan.longRunMs > 0)
        rows.push_back({Fmt("working set after %.0f s (peak)", plan.longRunMs / 1000.0),
                        Fmt("%.1f (%.1f) MiB", longRun.workingSetMiB, longRun.peakWorkingSetMiB),
                        Fmt("six frames %.1f MiB", 6 * frameMiB), "-", Fmt("<= %.1f MiB", memoryGoal),
                        Met(longRun.peakWorkingSetMiB <= memoryGoal)});
    rows.push_back({"start-up to first frame (median)", Fmt("%.0f ms", Median(saverStart)),
                    Fmt("minimal program %.0f ms", Median(minimalStart)), Fmt("%.2fx", startRatio), "<= 1.2x",
                    Met(startRatio <= 1.2)});
    rows.push_back({"key press to process exit (median)", Fmt("%.0f ms", Median(saverKey)),
                    Fmt("minimal program %.0f ms", Median(minimalKey)), "-", "<= 60 ms", Met(Median(saverKey) <= 60)});
    rows.push_back({Fmt("live GDI objects over %d scene(s)", plan.gdiScenes), Fmt("%ld .. %ld", gdiMin, gdiMax),
                    Fmt("at start %ld", gdiStart), "-", "constant", Met(gdiMin == gdiStart && gdiMax == gdiStart)});
    std::printf("\n");
    Print(rows);

    std::printf(
        "\nsamples: %d ticks, stamps and copies timed; %d periods at each speed; %d periods of the scene; "
        "%d start-up and key runs of each program\n",
        plan.tickSamples, plan.speedPeriods, static_cast<int>(scenePeriods.size()), plan.startRuns);
    std::printf("CPU while drawing over %.1f s, display off over %.1f s (Linux ticks of 10 ms):",
                (sceneEnds.empty() ? 0 : sceneEnds.back() - drawingStart.wallMs) / 1000, plan.displayOffMs / 1000.0);
    for (size_t i = 0; i < drawing.size(); ++i)
        std::printf(" %s %s / %s%s", drawing[i].role.c_str(), Percent(drawingShares.percent[i]).c_str(),
                    Percent(offShares.percent[i]).c_str(), drawing[i].pid ? "" : " (not found)");
    std::printf("; GetProcessTimes says %.1f %% / %.1f %%", drawingShares.windows, offShares.windows);
    std::printf("\nticks while the display was off: %d in %.1f s; after it came on again: %d in 0.5 s\n",
                static_cast<int>(ticksWhileOff), plan.displayOffMs / 1000.0, static_cast<int>(ticksAfterOn));
    std::printf(
        "tick min %.3f / max %.3f ms; scene period min %.2f / max %.2f ms; screen rows read back in %.1f ms "
        "(the resolution of the first-frame times)\n",
        *std::min_element(tick.begin(), tick.end()), *std::max_element(tick.begin(), tick.end()),
        scenePeriods.empty() ? 0 : *std::min_element(scenePeriods.begin(), scenePeriods.end()),
        scenePeriods.empty() ? 0 : *std::max_element(scenePeriods.begin(), scenePeriods.end()), grabMs);
    std::printf("%d scene(s) of 1667 ticks at Speed 0 took %.1f s (%.3f ms a tick, pause included)\n", plan.gdiScenes,
                scenesSeconds, scenesSeconds * 1000 / (plan.gdiScenes * 1667.0));
    std::printf("the window's load (creation, pictures, six canvases, load sequence) in this process: %.1f ms\n",
                loadMs);
    auto series = [](const char* name, const std::vector<double>& v) {
        std::printf("%s (ms):", name);
        for (double x : v)
            std::printf(" %.0f", x);
        std::printf("\n");
    };
    series("Orbimotion window shown", saverShown);
    series("Orbimotion first frame", saverStart);
    series("minimal program shown", minimalShown);
    series("minimal program first frame", minimalStart);
    std::fflush(stdout);
    return 0;
}

}  // namespace
}  // namespace orbi

int main(int argc, char** argv) {
    const bool smoke = argc > 1 && std::strcmp(argv[1], "smoke") == 0;
    return orbi::Run(smoke ? orbi::SmokePlan() : orbi::Plan{});
}
