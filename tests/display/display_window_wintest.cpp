// The display window inside the test process: a scripted scene, a recording call layer (its Sleep returns at
// once), ticks driven by hand, and the pixels of the canvases and of the screen read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <utility>
#include <vector>

#include "platform/resource_ids.h"
#include "platform/runtime_win.h"
#include "support/desk_win.h"
#include "support/display_fixture_win.h"
#include "support/pixels_win.h"
#include "support/windows_win.h"

namespace orbi {

void PrintTo(const ScreenTwips& screen, std::ostream* out) {
    *out << screen.width << "x" << screen.height << " twips at " << screen.twipsPerPixelX;
}

namespace {

using test::Pixels;
using test::Pixels96;
using test::SceneScript;

constexpr int kW = 640;
constexpr int kH = 480;
constexpr DWORD kWaitMs = 10000;

class DisplayWindowTest : public test::DisplayFixture {
  protected:
    BackingImage earth;

    void SetUp() override {
        p.settings.Speed = 10;
        ASSERT_TRUE(earth.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_EARTH));
        // The pointer away from the test windows: no move arrives unless a test makes one.
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }

    void Open(const SceneScript& scene = SceneScript{}, ScreenTwips screen = Pixels96(kW, kH)) {
        random.Append(scene.Values());
        Load(screen);
        ASSERT_TRUE(window->hwnd());
        // Ticks are driven by hand.
        window->EnableTimer(DisplayWindow::kTimer3, false);
        // Nothing may cover the window while its screen is read back.
        ::SetWindowPos(window->hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    std::vector<std::wstring> Music() const {
        std::vector<std::wstring> out;
        for (const auto& c : api.calls) {
            if (c.rfind(L"mciSendStringA(", 0) == 0)
                out.push_back(c);
            // The wave player's flags are the music module's business; here only what is played counts.
            if (c.rfind(L"PlaySoundA(", 0) == 0)
                out.push_back(c.rfind(L"PlaySoundA(<null>", 0) == 0 ? c : c.substr(0, c.rfind(L',')) + L")");
        }
        return out;
    }
    static std::wstring Mci(const std::wstring& command, int length = 0) {
        return L"mciSendStringA(" + command + L"," + std::to_wstring(length) + L")";
    }

    // What a canvas must hold: the Earth, black left out, stamped at each position in turn onto black.
    std::vector<uint32_t> Composite(int w, int h, const std::vector<POINT>& stamps) const {
        std::vector<uint32_t> px(static_cast<size_t>(w) * h, 0);
        for (const POINT& at : stamps) {
            for (int j = 0; j < earth.height(); ++j) {
                for (int i = 0; i < earth.width(); ++i) {
                    const uint32_t c = earth.bits()[j * earth.width() + i] & 0xFFFFFF;
                    const int x = at.x + i, y = at.y + j;
                    if (c != 0 && x >= 0 && y >= 0 && x < w && y < h)
                        px[static_cast<size_t>(y) * w + x] = c;
                }
            }
        }
        return px;
    }
    std::vector<uint32_t> Screen() const {
        BackingImage shot;
        shot.Resize(window->DisplayWidth(), window->DisplayHeight());
        BitBlt(shot.dc(), 0, 0, shot.width(), shot.height(), window->DisplayDc(), 0, 0, SRCCOPY);
        return Pixels(shot);
    }
    static size_t Differences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
        if (a.size() != b.size())
            return SIZE_MAX;
        size_t n = 0;
        for (size_t i = 0; i < a.size(); ++i)
            n += a[i] != b[i];
        return n;
    }
};

// The sprite's top-left at ticks 1 to 13 of the scene {30, 31, 3, 4, 200, 230} on a 640 x 480 screen, worked out
// by hand: 295 + 295 × cos(3t / 200 − 30), 215 + 215 × cos(3t / 230 − 31).
const POINT kChain[13] = {{336, 411}, {332, 409}, {327, 408}, {323, 407}, {319, 406}, {314, 404}, {310, 403},
                          {305, 402}, {301, 400}, {296, 399}, {292, 397}, {288, 396}, {283, 394}};

int16_t CanvasOf(int tick) {
    return static_cast<int16_t>((tick - 1) % 6 + 1);
}

TEST_F(DisplayWindowTest, LoadsCoveringItsScreenWithoutBorderAndRaisesItselfLast) {
    Open();
    // The title and the frameless full-screen rectangle are checked on the real program (display_mode_wintest.cpp).
    HWND h = window->hwnd();
    EXPECT_TRUE(GetWindowLongW(h, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(window->DisplayWidth(), kW);
    EXPECT_EQ(window->DisplayHeight(), kH);
    EXPECT_EQ(window->state().CanvasIndex, 0);
    EXPECT_EQ(window->TimerInterval(DisplayWindow::kTimer1), 1000u);
    EXPECT_EQ(window->TimerInterval(DisplayWindow::kTimer2), 200u);
    EXPECT_EQ(window->TimerInterval(DisplayWindow::kTimer3), 10u);
    EXPECT_FALSE(window->TimerEnabled(DisplayWindow::kTimer1));
    EXPECT_FALSE(window->TimerEnabled(DisplayWindow::kTimer2));
    // Topmost through the call layer, HWND_TOPMOST with flags 0x13, as the load's last step.
    ASSERT_FALSE(api.calls.empty());
    EXPECT_EQ(api.calls.back(),
              L"SetWindowPos(" + std::to_wstring(reinterpret_cast<uintptr_t>(h)) + L",-1,0,0,0,0,19)");
    EXPECT_EQ(p.ApiResult, 1);
}

TEST_F(DisplayWindowTest, RepaintShowsDisplayBlackAndTheFormGreyOnlyWhereDisplayDoesNotReach) {
    Open();
    BackingImage shot;
    ASSERT_TRUE(shot.Resize(kW, kH));
    shot.Clear(RGB(1, 2, 3));
    SendMessageW(window->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.dc()), PRF_CLIENT);
    const std::vector<uint32_t> px = Pixels(shot);
    EXPECT_EQ(std::count(px.begin(), px.end(), 0u), static_cast<ptrdiff_t>(px.size()));
    window.reset();
    // A screen too wide for the 16-bit width leaves Display without a width: the whole form is grey.
    Open(SceneScript{}, Pixels96(40000, 100));
    ASSERT_EQ(window->DisplayWidth(), 0);
    ASSERT_TRUE(shot.Resize(200, 100));
    SendMessageW(window->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.dc()), PRF_CLIENT);
    EXPECT_EQ(shot.PixelAt(0, 0), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(shot.PixelAt(199, 99), RGB(0x80, 0x80, 0x80));
}

// The working sprite's Earth shows pixel for pixel on the canvases of the thirteen-tick test below; here the seven
// pictures in their order: 50-pixel balls, 32-pixel balls, the Earth.
TEST_F(DisplayWindowTest, SetupSceneLoadsTheSevenPicturesInTheirOrder) {
    Open();
    const int sizes[7] = {50, 50, 50, 32, 32, 32, 50};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(window->Pic_Image(i).width(), sizes[i]) << i;
        EXPECT_EQ(window->Pic_Image(i).PixelAt(0, 0), RGB(0, 0, 0)) << i;
    }
    BackingImage reference;
    ASSERT_TRUE(reference.LoadBitmapResource(GetModuleHandleW(nullptr), IDB_GOLF32));
    EXPECT_EQ(Pixels(window->Pic_Image(5)), Pixels(reference));
}

TEST_F(DisplayWindowTest, ThirteenTicksLeaveAChainOnEveryCanvasAndTheScreenShowsTheCurrentOne) {
    const SceneScript scene{30, 31, 3, 4, 200, 230};
    Open(scene);
    const DisplayState& s = window->state();
    ASSERT_EQ(s.ClockStep, 3);
    ASSERT_EQ(s.CurveKind, 4);
    window->Timer3_Timer();
    EXPECT_EQ(s.CanvasIndex, 1);
    EXPECT_EQ(s.PathClock, 3);
    EXPECT_EQ(s.SpriteX, kChain[0].x);
    EXPECT_EQ(s.SpriteY, kChain[0].y);
    for (int tick = 2; tick <= 13; ++tick)
        window->Timer3_Timer();
    EXPECT_EQ(s.CanvasIndex, 1);
    for (int canvas = 1; canvas <= 6; ++canvas) {
        std::vector<POINT> stamps;
        for (int tick = canvas; tick <= 13; tick += 6)
            stamps.push_back(kChain[tick - 1]);
        EXPECT_EQ(Differences(Pixels(window->Master(canvas)), Composite(kW, kH, stamps)), 0u) << "canvas " << canvas;
    }
    // Canvas 1 holds ticks 1, 7 and 13; ticks 1 and 7 overlap, so the older Earth shows around the newer disc.
    EXPECT_EQ(Differences(Screen(), Pixels(window->Master(1))), 0u);
    EXPECT_EQ(api.CallsStartingWith(L"Sleep(").size(), 13u);
    EXPECT_EQ(api.sleptTotal, 130u);
}

// The pause comes once the frame is on the screen: the scene's last tick shows it, as every tick does.
TEST_F(DisplayWindowTest, SceneEndsPastFifteenThousandWithBlackCanvasesAndTheLastFrameStillShown) {
    const SceneScript first{30, 30, 9, 2, 250, 200};
    const SceneScript second{31, 31, 4, 3, 205, 245};
    Open(first);
    random.Append(second.Values());
    const DisplayState& s = window->state();
    for (int tick = 1; tick < 1667; ++tick)
        window->Timer3_Timer();
    ASSERT_EQ(s.PathClock, 14994);
    ASSERT_EQ(s.ClockStep, 9);
    std::vector<uint32_t> shownAtPause;
    api.onSleep = [&](uint32_t) {
        shownAtPause = Pixels(window->Master(CanvasOf(1667)));
        EXPECT_EQ(Differences(Screen(), shownAtPause), 0u);
    };
    window->Timer3_Timer();
    api.onSleep = nullptr;
    ASSERT_FALSE(shownAtPause.empty());
    const std::vector<uint32_t> black(static_cast<size_t>(kW) * kH, 0);
    EXPECT_GT(Differences(shownAtPause, black), 0u);
    EXPECT_EQ(s.PathClock, 0);
    EXPECT_EQ(s.ClockStep, 4);
    EXPECT_EQ(s.CurveKind, 3);
    EXPECT_EQ(s.PeriodX, 205);
    EXPECT_EQ(s.CanvasIndex, CanvasOf(1667));
    for (int canvas = 1; canvas <= 6; ++canvas)
        EXPECT_EQ(Differences(Pixels(window->Master(canvas)), black), 0u) << canvas;
    // The screen keeps the frame just shown until the next tick draws on a black canvas.
    EXPECT_EQ(Differences(Screen(), shownAtPause), 0u);
    window->Timer3_Timer();
    EXPECT_EQ(s.CanvasIndex, CanvasOf(1668));
    // The new scene's first position: 295 + 295 × cos(4 / 205 − 31), 215 + 215 × sin(4 / 245 − 31).
    EXPECT_EQ(Differences(Screen(), Composite(kW, kH, {POINT{562, 305}})), 0u);
}

TEST_F(DisplayWindowTest, BlitImageLeavesEveryBlackSourcePixelOutWhateverTheSourceCorner) {
    Open();
    BackingImage source, target;
    ASSERT_TRUE(source.Resize(10, 8));
    ASSERT_TRUE(target.Resize(30, 30));
    target.Clear(RGB(0, 0, 200));
    source.Clear(RGB(255, 255, 255));
    // A black hole inside the sprite, and a black-ish pixel that is not pure black.
    for (int y = 3; y < 5; ++y)
        for (int x = 4; x < 6; ++x)
            source.bits()[y * 10 + x] = 0;
    source.bits()[0] = 0x010000;
    const int32_t x = 7, y = 9;
    window->BlitImage(source, target, x, y);
    GdiFlush();
    EXPECT_EQ(target.PixelAt(7 + 4, 9 + 3), RGB(0, 0, 200));  // see-through hole
    EXPECT_EQ(target.PixelAt(7 + 5, 9 + 4), RGB(0, 0, 200));
    EXPECT_EQ(target.PixelAt(7, 9), RGB(1, 0, 0));  // only exact black is left out
    EXPECT_EQ(target.PixelAt(7 + 9, 9 + 7), RGB(255, 255, 255));
    EXPECT_EQ(target.PixelAt(7 + 10, 9 + 7), RGB(0, 0, 200));  // copied one to one, no stretching
    EXPECT_EQ(target.PixelAt(7 + 9, 9 + 8), RGB(0, 0, 200));
    EXPECT_EQ(target.PixelAt(6, 9), RGB(0, 0, 200));
}

TEST_F(DisplayWindowTest, PauseIsSpeedAndANegativeSpeedPausesZero) {
    Open();
    for (const auto& [speed, pause] : std::vector<std::pair<int16_t, uint32_t>>{
             {10, 10}, {0, 0}, {1, 1}, {100, 100}, {32767, 32767}, {-1, 0}, {-32768, 0}}) {
        p.settings.Speed = speed;
        api.calls.clear();
        window->Timer3_Timer();
        EXPECT_EQ(api.calls, std::vector<std::wstring>{L"Sleep(" + std::to_wstring(pause) + L")"}) << speed;
    }
}

// One row per music setting: what the load sends, which supervision timer runs, what the unload sends.
struct MusicRow {
    const char* name;
    int16_t kind;
    const wchar_t* file;
    std::vector<std::wstring> atLoad;
    UINT_PTR timer;  // 0 none
    std::vector<std::wstring> atUnload;
};

class MusicStart : public DisplayWindowTest, public ::testing::WithParamInterface<MusicRow> {};

TEST_P(MusicStart, FollowsTheSourceAndTheFileEnding) {
    const MusicRow& row = GetParam();
    p.settings.BgmKind = row.kind;
    p.settings.BgmFile = row.file;
    api.mci[L"status MP3Play mode"] = {0, L"playing"};
    Open();
    std::vector<std::wstring> atLoad = Music();
    EXPECT_EQ(atLoad, row.atLoad);
    EXPECT_EQ(window->TimerEnabled(DisplayWindow::kTimer1), row.timer == DisplayWindow::kTimer1);
    EXPECT_EQ(window->TimerEnabled(DisplayWindow::kTimer2), row.timer == DisplayWindow::kTimer2);
    api.calls.clear();
    PostMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::WaitUntil([&] { return ended == 1; }, kWaitMs));
    EXPECT_EQ(Music(), row.atUnload);
    EXPECT_FALSE(window->TimerEnabled(DisplayWindow::kTimer1));
    EXPECT_FALSE(window->TimerEnabled(DisplayWindow::kTimer2));
}

const std::wstring kOpenMp3 = L"open \"C:\\Music\\song.Mp3\" type MPEGVideo Alias MP3Play";

INSTANTIATE_TEST_SUITE_P(
    Table,
    MusicStart,
    ::testing::Values(MusicRow{"none", 0, L"C:\\Music\\a.mp3", {}, 0, {}},
                      MusicRow{"cd",
                               1,
                               L"C:\\Music\\a.mp3",
                               {L"mciSendStringA(open cdaudio,0)", L"mciSendStringA(set cdaudio time format tmsf,0)"},
                               DisplayWindow::kTimer2,
                               {L"mciSendStringA(stop cdaudio,0)", L"mciSendStringA(close cdaudio,0)"}},
                      MusicRow{"mp3_mixed_case",
                               2,
                               L"C:\\Music\\song.Mp3",
                               {L"mciSendStringA(" + kOpenMp3 + L",0)", L"mciSendStringA(play MP3Play,0)"},
                               DisplayWindow::kTimer1,
                               {L"mciSendStringA(stop MP3Play,0)", L"mciSendStringA(close MP3Play,0)"}},
                      MusicRow{"wav_lower_case",
                               2,
                               L"C:\\Music\\loop.wav",
                               {L"PlaySoundA(C:\\Music\\loop.wav,0)"},
                               0,
                               {L"PlaySoundA(<null>,0,0)"}},
                      MusicRow{"wma", 2, L"C:\\Music\\a.wma", {}, 0, {}},
                      MusicRow{"empty_name", 2, L"", {}, 0, {}},
                      MusicRow{"kind_3", 3, L"C:\\Music\\a.wav", {}, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DisplayWindowTest, MusicStartsAfterTheWindowIsShownAndBeforeItIsRaised) {
    p.settings.BgmKind = 1;
    bool visibleAtOpen = false;
    api.onMci = [&](const std::wstring& command, const FixedBuffer*) {
        if (command == L"open cdaudio")
            visibleAtOpen = window && IsWindowVisible(window->hwnd());
    };
    Open();
    EXPECT_TRUE(visibleAtOpen);
    const auto it = std::find(api.calls.begin(), api.calls.end(), Mci(L"open cdaudio"));
    ASSERT_NE(it, api.calls.end());
    EXPECT_NE(
        std::find_if(it, api.calls.end(), [](const std::wstring& c) { return c.rfind(L"SetWindowPos(", 0) == 0; }),
        api.calls.end());
}

// The CD's supervision, run by Timer2 of a live window: hardening/faults_wintest.cpp; what each tick plays: the
// decision table of music/background_music_test.cpp.

// Every way of closing runs the one unload: music stopped, pointer shown again for /s, then the end. Keys, left and
// right clicks and the close request end the real program in hardening/orphans_wintest.cpp; here the others.
struct CloseRow {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class Closing : public DisplayWindowTest, public ::testing::WithParamInterface<CloseRow> {};

TEST_P(Closing, RunsTheUnloadOnce) {
    const CloseRow& row = GetParam();
    p.settings.BgmKind = 2;
    p.settings.BgmFile = L"C:\\Music\\x.mp3";
    api.cursorCount = -1;  // as start-up left it for /s
    Open();
    EXPECT_EQ(api.calls.front(), L"timeBeginPeriod(1)");  // before the first tick, the fine clock
    api.calls.clear();
    SendMessageW(window->hwnd(), row.message, row.wParam, row.lParam);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(api.calls, (std::vector<std::wstring>{Mci(L"stop MP3Play"), Mci(L"close MP3Play"), L"ShowCursor(TRUE)",
                                                    L"timeEndPeriod(1)"}));
    EXPECT_EQ(p.CursorCount, 0);
    // Nothing runs after the end: no tick, no second unload.
    EXPECT_FALSE(window->TimerEnabled(DisplayWindow::kTimer3));
    api.calls.clear();
    SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    SendMessageW(window->hwnd(), WM_KEYDOWN, 'A', 0);
    SendMessageW(window->hwnd(), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    test::Pump(100);
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(api.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Table,
                         Closing,
                         ::testing::Values(CloseRow{"close_request", WM_CLOSE, 0, 0},
                                           CloseRow{"letter", WM_KEYDOWN, 'A', 0},
                                           CloseRow{"session_end", WM_QUERYENDSESSION, 0, 0},
                                           CloseRow{"foreground_lost", WM_ACTIVATEAPP, FALSE, 0},
                                           CloseRow{"middle_click", WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(639, 479)},
                                           CloseRow{"side_click", WM_XBUTTONDOWN, MAKEWPARAM(0, XBUTTON1),
                                                    MAKELPARAM(20, 20)}),
                         [](const auto& info) { return std::string(info.param.name); });

// Refuses every window this thread tries to make.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(DisplayWindowTest, AWindowThatCannotBeMadeEndsTheProgramAndGivesBackTheFineClock) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
    Load();
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(window->hwnd(), nullptr);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(api.CallsStartingWith(L"time"), (std::vector<std::wstring>{L"timeBeginPeriod(1)", L"timeEndPeriod(1)"}));
}

// The display's state as Windows sends it (0 off, 1 on, 2 dimmed): the dark gives back the 1 ms clock and draws
// nothing, a seen screen (on or dimmed) asks for it again and draws; the unload gives back only what is held.
TEST_F(DisplayWindowTest, TheDarkGivesBackTheFineClockAndTheSeenScreenAsksForItAgain) {
    const std::wstring begin = L"timeBeginPeriod(1)", end = L"timeEndPeriod(1)";
    const std::pair<DWORD, std::vector<std::wstring>> steps[] = {{0, {end}}, {2, {begin}}, {1, {}},
                                                                 {0, {end}}, {1, {begin}}, {0, {end}}};
    Load(Pixels96(kW, kH));
    ASSERT_TRUE(window->hwnd());
    for (const auto& [state, calls] : steps) {
        api.calls.clear();
        SendDisplayState(state);
        EXPECT_EQ(api.CallsStartingWith(L"time"), calls) << state;
        test::Pump(state ? 0 : 100);
        EXPECT_EQ(test::WaitUntil([&] { return !api.CallsStartingWith(L"Sleep").empty(); }, state ? kWaitMs : 0),
                  state != 0)
            << state;
    }
    api.calls.clear();
    SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(api.CallsStartingWith(L"time").empty());
}

// Another program taking the foreground while the load runs ends the saver once the load has returned, so that no
// step of the load comes after the unload. With the real program: display_mode_wintest.cpp.
TEST_F(DisplayWindowTest, ForegroundLostDuringTheLoadEndsItAfterTheLoad) {
    p.settings.BgmKind = 2;
    p.settings.BgmFile = L"C:\\Music\\x.mp3";
    api.onMci = [&](const std::wstring& command, const FixedBuffer*) {
        if (command.rfind(L"open", 0) == 0)
            SendMessageW(window->hwnd(), WM_ACTIVATEAPP, FALSE, 0);
    };
    Open();
    EXPECT_EQ(ended, 1);
    ASSERT_GE(api.calls.size(), 5u);
    EXPECT_EQ(api.calls.end()[-5].rfind(L"SetWindowPos(", 0), 0u);  // raised: the load's last step
    EXPECT_EQ(std::vector<std::wstring>(api.calls.end() - 4, api.calls.end()),
              (std::vector<std::wstring>{Mci(L"stop MP3Play"), Mci(L"close MP3Play"), L"ShowCursor(TRUE)",
                                         L"timeEndPeriod(1)"}));
}

// Shown again when start-up hid it: every row of Closing.
TEST_F(DisplayWindowTest, PointerStartUpLeftShowingIsNotShownAgain) {
    p.CursorHidden = false;
    Open();
    SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(api.CallsStartingWith(L"ShowCursor(TRUE)").empty());
    EXPECT_EQ(ended, 1);
}

// Moves to where the pointer already is count too: no distance is measured.
TEST_F(DisplayWindowTest, TheMoveOnShowingCountsThirtyMovesAreToleratedAndTheThirtyFirstEnds) {
    SetCursorPos(200, 150);
    Open();
    ASSERT_TRUE(test::WaitUntil([&] { return window->state().MouseMoveCount >= 1; }, kWaitMs));
    test::Pump(300);
    const int initial = window->state().MouseMoveCount;
    EXPECT_LE(initial, 2);
    for (int i = initial; i < 30; ++i)
        PostMessageW(window->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 150));
    ASSERT_TRUE(test::WaitUntil([&] { return window->state().MouseMoveCount == 30; }, kWaitMs));
    test::Pump(100);
    EXPECT_EQ(ended, 0);
    PostMessageW(window->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(200, 150));
    EXPECT_TRUE(test::WaitUntil([&] { return ended == 1; }, kWaitMs));
    EXPECT_EQ(api.CallsStartingWith(L"timeEndPeriod(1)").size(), 1u);
}

// Any screen size: the window loads, ticks through a scene end and closes without a fault.
std::string ScreenName(const ::testing::TestParamInfo<ScreenTwips>& info) {
    static const char* const names[] = {"one_pixel", "smaller_than_the_sprite", "just_the_sprite",
                                        "uhd",       "too_wide_for_16_bits",    "fractional_factor"};
    return names[info.index];
}

class ScreenSizes : public DisplayWindowTest, public ::testing::WithParamInterface<ScreenTwips> {};

TEST_P(ScreenSizes, LoadTickPastASceneEndAndCloseWithTheCanvasesWiped) {
    const ScreenTwips screen = GetParam();
    Open(SceneScript{30, 30, 9, 4, 200, 200}, screen);
    for (int i = 0; i < 20; ++i)
        window->Timer3_Timer();
    window->SetupScene();
    const DisplayState& s = window->state();
    if (s.ScreenWidthPx > 0 && s.ScreenHeightPx > 0) {
        EXPECT_EQ(window->Master(1).width(), s.ScreenWidthPx);
        EXPECT_EQ(window->Master(6).height(), s.ScreenHeightPx);
        // Stamps partly off the canvas are wiped like any other.
        for (int canvas = 1; canvas <= 6; ++canvas) {
            const std::vector<uint32_t> px = Pixels(window->Master(canvas));
            EXPECT_EQ(std::count(px.begin(), px.end(), 0u), static_cast<ptrdiff_t>(px.size())) << canvas;
        }
    } else {
        EXPECT_EQ(window->Master(1).dc(), nullptr);
    }
    for (int i = 0; i < 7; ++i)
        window->Timer3_Timer();
    SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ended, 1);
}

INSTANTIATE_TEST_SUITE_P(Table,
                         ScreenSizes,
                         ::testing::Values(Pixels96(1, 1),
                                           Pixels96(40, 30),
                                           Pixels96(51, 51),
                                           Pixels96(3840, 2160),
                                           Pixels96(40000, 600),
                                           ScreenTwips{1024 * 1440.0 / 168, 768 * 1440.0 / 168, 1440.0 / 168,
                                                       1440.0 / 168}),
                         ScreenName);

// Needs a second monitor (the two-monitor desks of the test script): real moves, made by the system, over the real
// cover and over the display share the one count.
class MonitorsDisplayWindow : public DisplayWindowTest {};

TEST_F(MonitorsDisplayWindow, RealMovesOverTheCoverCountWithThoseOverTheDisplayAndTheThirtyFirstEnds) {
    ORBI_NEED_SECOND_MONITOR();
    Open();
    ASSERT_TRUE(window->covers());
    ASSERT_EQ(window->covers()->size(), 1u);
    RECT cover{};
    GetWindowRect(window->covers()->at(0), &cover);
    const POINT onCover{(cover.left + cover.right) / 2, (cover.top + cover.bottom) / 2};
    const POINT onDisplay{kW / 2, kH / 2};
    // Each move is waited for until counted. The count is followed, not assumed: a window shown under the pointer,
    // or entered, may get a move of its own. The last moves stay on the cover, where each makes exactly one.
    for (int i = 0; window->state().MouseMoveCount < 30; ++i) {
        const int before = window->state().MouseMoveCount;
        const POINT at = i % 2 && i < 20 ? onDisplay : onCover;
        test::MoveMouseTo(at.x + i % 7, at.y);
        ASSERT_TRUE(test::WaitUntil([&] { return window->state().MouseMoveCount > before; }, kWaitMs))
            << "move " << i << " to " << at.x << "," << at.y << " not counted";
    }
    EXPECT_EQ(ended, 0);
    test::MoveMouseTo(onCover.x - 9, onCover.y + 9);
    ASSERT_TRUE(test::WaitUntil([&] { return ended == 1; }, kWaitMs));
    EXPECT_EQ(window->covers(), nullptr);
}

// Run at every display scaling: the runtime's twips give back the screen's own pixels.
class AnyDpiDisplayWindow : public DisplayWindowTest {};

TEST_F(AnyDpiDisplayWindow, DisplayAndCanvasesHaveTheScreensPixelSize) {
    ORBI_NEED_ASKED_DPI();
    Open(SceneScript{}, ScreenTwips{ScreenWidthTwips(), ScreenHeightTwips(), TwipsPerPixelX(), TwipsPerPixelY()});
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    std::printf("%g twips per pixel: ScreenWidthPx %d, ScreenHeightPx %d\n", TwipsPerPixelX(),
                window->state().ScreenWidthPx, window->state().ScreenHeightPx);
    EXPECT_EQ(window->state().ScreenWidthPx, w);
    EXPECT_EQ(window->state().ScreenHeightPx, h);
    EXPECT_EQ(window->DisplayWidth(), w);
    EXPECT_EQ(window->Master(6).height(), h);
}

// That scenes keep the count and the end gives them all back: hardening/soak_wintest.cpp, over twenty scenes.
TEST_F(DisplayWindowTest, OwnsTwoGdiObjectsPerSurface) {
    const long before = LiveGdiObjects();
    Open();
    // Six canvases, seven pictures and the working sprite, each a memory DC and its bitmap.
    EXPECT_EQ(LiveGdiObjects() - before, 2 * (6 + 7 + 1));
}

}  // namespace
}  // namespace orbi
