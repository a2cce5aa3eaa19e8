// Long runs inside the test process: twenty whole scenes of the display window and a hundred openings of the
// settings dialog, with the process's memory, handles and live GDI objects read after each and kept flat.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "dialog/settings_dialog_win.h"
#include "platform/handles_win.h"
#include "support/display_fixture_win.h"
#include "support/windows_win.h"

namespace orbi {
namespace {

constexpr int kScenes = 20;
constexpr int kTicksPerScene = 1667;  // a clock step of 9 passes 15000 at the 1667th tick
constexpr int kDialogOpenings = 100;
// Memory may move a little as the system's own caches settle (about 100 KB over a hundred dialogs); a leaked
// canvas (3 MB at 1024 x 768) or 16 bytes a tick (33,000 ticks) is beyond it.
constexpr SIZE_T kMemorySlack = 512 * 1024;
constexpr DWORD kHandleSlack = 4;

struct Footprint {
    SIZE_T workingSet = 0;
    SIZE_T privateBytes = 0;
    long liveGdi = 0;
    DWORD gdiObjects = 0;  // what the system counts; always 0 under Wine
    DWORD userObjects = 0;
    DWORD handles = 0;  // kernel handles; Wine does not count them either
};

std::string Kb(SIZE_T bytes) {
    return std::to_string(bytes / 1024) + " KB";
}

Footprint Measure() {
    Footprint f;
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
        f.workingSet = pmc.WorkingSetSize;
        // Wine leaves the private usage at 0; the commit charge stands in for it there.
        f.privateBytes = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
    }
    f.liveGdi = LiveGdiObjects();
    f.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    f.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    GetProcessHandleCount(GetCurrentProcess(), &f.handles);
    return f;
}

// Pauses return at once and leave no record, so that the record does not grow.
class Soak : public test::DisplayFixture {
  protected:
    Soak() { api.quietSleeps = true; }
};

// Before anything is called flat: the figures must move when memory is really taken.
TEST_F(Soak, MemoryFiguresSeeEightMegabytesTakenAndTouched) {
    const Footprint before = Measure();
    constexpr size_t kTaken = 8 * 1024 * 1024;
    std::vector<char> block(kTaken);
    for (size_t i = 0; i < block.size(); i += 4096)
        block[i] = static_cast<char>(i);
    const Footprint after = Measure();
    EXPECT_GE(after.workingSet, before.workingSet + kTaken / 2)
        << Kb(before.workingSet) << ", " << Kb(after.workingSet);
    EXPECT_GE(after.privateBytes, before.privateBytes + kTaken / 2)
        << Kb(before.privateBytes) << ", " << Kb(after.privateBytes);
    volatile char kept = block[kTaken / 2];  // the block stays in use until measured
    (void)kept;
}

// Every figure after the first round against the first round's; the table goes to the log for the README.
void ExpectFlat(const std::vector<Footprint>& rounds, const char* unit) {
    ASSERT_GE(rounds.size(), 2u);
    const Footprint& base = rounds[0];
    SIZE_T maxWs = 0, maxPrivate = 0;
    for (size_t i = 1; i < rounds.size(); ++i) {
        const Footprint& f = rounds[i];
        EXPECT_EQ(f.liveGdi, base.liveGdi) << unit << " " << i + 1;
        EXPECT_LE(f.gdiObjects, base.gdiObjects) << unit << " " << i + 1;
        EXPECT_LE(f.userObjects, base.userObjects) << unit << " " << i + 1;
        EXPECT_LE(f.handles, base.handles + kHandleSlack) << unit << " " << i + 1;
        EXPECT_LE(f.workingSet, base.workingSet + kMemorySlack)
            << unit << " " << i + 1 << ": " << Kb(f.workingSet) << " against " << Kb(base.workingSet);
        EXPECT_LE(f.privateBytes, base.privateBytes + kMemorySlack)
            << unit << " " << i + 1 << ": " << Kb(f.privateBytes) << " against " << Kb(base.privateBytes);
        maxWs = std::max(maxWs, f.workingSet);
        maxPrivate = std::max(maxPrivate, f.privateBytes);
    }
    const Footprint& last = rounds.back();
    std::printf(
        "%-8s working set %s after the first, %s after the last (max %s); private %s, %s (max %s); "
        "live GDI objects %ld, %ld; system GDI count %lu, %lu; USER %lu, %lu; handles %lu, %lu\n",
        unit, Kb(base.workingSet).c_str(), Kb(last.workingSet).c_str(), Kb(maxWs).c_str(),
        Kb(base.privateBytes).c_str(), Kb(last.privateBytes).c_str(), Kb(maxPrivate).c_str(), base.liveGdi,
        last.liveGdi, base.gdiObjects, last.gdiObjects, base.userObjects, last.userObjects, base.handles, last.handles);
}

TEST_F(Soak, DisplayRunsTwentyWholeScenesWithMemoryAndGdiObjectsFlat) {
    p.settings.Speed = 0;
    for (int scene = 0; scene <= kScenes; ++scene)
        random.Append(
            test::SceneScript{30 + scene % 2, 31 - scene % 2, 9, 1 + scene % 4, 200 + 2 * scene, 250 - 2 * scene}
                .Values());
    const long gdiBefore = LiveGdiObjects();
    Load();
    ASSERT_TRUE(window->hwnd());
    window->EnableTimer(DisplayWindow::kTimer3, false);  // ticks driven here, as fast as they go

    const ULONGLONG start = GetTickCount64();
    std::vector<Footprint> rounds;
    for (int scene = 1; scene <= kScenes; ++scene) {
        int ticks = 0;
        do {
            window->Timer3_Timer();
            if (++ticks % 64 == 0)
                test::Drain();
        } while (window->state().PathClock != 0 && ticks <= kTicksPerScene);
        ASSERT_EQ(ticks, kTicksPerScene) << "scene " << scene;
        test::Drain();
        rounds.push_back(Measure());
    }
    const ULONGLONG ms = GetTickCount64() - start;
    EXPECT_EQ(api.sleeps, static_cast<long>(kScenes) * kTicksPerScene);
    EXPECT_EQ(ended, 0);
    std::printf("display  %d scenes, %d ticks in %llu ms (%.3f ms a tick) on a %d x %d screen\n", kScenes,
                kScenes * kTicksPerScene, ms, static_cast<double>(ms) / (kScenes * kTicksPerScene),
                window->DisplayWidth(), window->DisplayHeight());
    ExpectFlat(rounds, "scene");

    PostMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    test::Drain();
    EXPECT_EQ(ended, 1);
    window.reset();
    EXPECT_EQ(LiveGdiObjects(), gdiBefore);
}

// Closes the dialog this thread shows, by the close box's message or by a click on "ｷｬﾝｾﾙ", as soon as it is up.
class DialogCloser {
  public:
    explicit DialogCloser(bool byCancel) : byCancel_(byCancel) {
        self_ = this;
        timer_ = SetTimer(nullptr, 0, 10, &Tick);
    }
    ~DialogCloser() {
        KillTimer(nullptr, timer_);
        self_ = nullptr;
    }
    int closed = 0;
    int forced = 0;  // closed with the close box's message because the first way did not close it

  private:
    static HWND ShownDialog() {
        return test::FindTopLevel([](HWND h) {
            return GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId() && IsWindowVisible(h) &&
                   test::TextOf(h) == L"<Orbimotion>";
        });
    }
    // "ｷｬﾝｾﾙ" is the right-most of the two buttons placed on the form itself.
    static HWND CancelButton(HWND form) {
        HWND found = nullptr;
        for (HWND h : test::Descendants(form)) {
            if (GetParent(h) == form && test::ClassOf(h) == L"OrbimotionCommand" &&
                (!found || test::Centre(h).x > test::Centre(found).x))
                found = h;
        }
        return found;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!self_)
            return;
        const HWND form = ShownDialog();
        if (!form)
            return;
        if (self_->closed) {
            // Never hang the run on a dialog that did not close: give it the close box's message once.
            if (!self_->forced && GetTickCount64() - self_->closedAt_ > 5000) {
                ++self_->forced;
                PostMessageW(form, WM_CLOSE, 0, 0);
            }
            return;
        }
        ++self_->closed;
        self_->closedAt_ = GetTickCount64();
        const HWND cancel = self_->byCancel_ ? CancelButton(form) : nullptr;
        if (cancel) {
            PostMessageW(cancel, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            PostMessageW(cancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageW(cancel, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        } else {
            PostMessageW(form, WM_CLOSE, 0, 0);
        }
    }
    static inline DialogCloser* self_ = nullptr;
    bool byCancel_;
    ULONGLONG closedAt_ = 0;
    UINT_PTR timer_ = 0;
};

TEST_F(Soak, SettingsDialogOpensAndClosesAHundredTimesWithMemoryAndGdiObjectsFlat) {
    p.settings.Speed = 10;
    p.settings.BgmFolder = L"C:\\Saver";
    const long gdiBefore = LiveGdiObjects();
    const ULONGLONG start = GetTickCount64();
    std::vector<Footprint> rounds;
    for (int opening = 1; opening <= kDialogOpenings; ++opening) {
        {
            // Every other one ends with "ｷｬﾝｾﾙ", the others with the close box.
            DialogCloser closer(opening % 2 == 0);
            ShowSettingsDialogModal(p);
            ASSERT_EQ(closer.closed, 1) << "opening " << opening;
            ASSERT_EQ(closer.forced, 0) << "opening " << opening;
        }
        test::Drain();
        EXPECT_EQ(LiveGdiObjects(), gdiBefore) << "opening " << opening;
        EXPECT_TRUE(api.CallsStartingWith(L"WritePrivateProfileStringA").empty()) << "opening " << opening;
        EXPECT_FALSE(api.CallsStartingWith(L"DrawAnimatedRects").empty()) << "opening " << opening;
        // The recording call layer keeps a line per call: emptied, so that only the program's own memory counts.
        api.calls.clear();
        api.calls.shrink_to_fit();
        rounds.push_back(Measure());
    }
    const ULONGLONG ms = GetTickCount64() - start;
    std::printf("dialog   %d openings in %llu ms (%.0f ms each)\n", kDialogOpenings, ms,
                static_cast<double>(ms) / kDialogOpenings);
    ExpectFlat(rounds, "opening");
}

}  // namespace
}  // namespace orbi
