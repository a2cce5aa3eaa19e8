// Display mode as the screen-saver host runs it: the real program in a scratch folder with its own settings,
// driven from outside by window messages and by input as a user makes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/handles_win.h"
#include "support/desk_win.h"
#include "support/pixels_win.h"
#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

using test::Saver;

constexpr DWORD kWaitMs = test::kProgramWaitMs;
constexpr DWORD kEndingMs = 3000;

std::string Ini(const std::wstring& speed, const std::wstring& kind, const std::wstring& file) {
    return test::SettingsText({{L"速さ", speed}, {L"BGM区分", kind}, {L"BGMﾌｧｲﾙ", file}});
}

bool PointerShowing() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING);
}

TEST(DisplayMode, UnderTheSwitchATitledBorderlessWindowCoversTheScreenShowsAGrowingChainAndTheMouseEndsIt) {
    Saver saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    EXPECT_EQ(test::TextOf(saver.hwnd), L"Orbimotion_Main");
    EXPECT_FALSE(GetWindowLongW(saver.hwnd, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    RECT r{};
    GetWindowRect(saver.hwnd, &r);
    EXPECT_TRUE(r.left == 0 && r.top == 0 && r.right == w && r.bottom == h)
        << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    EXPECT_EQ(WindowFromPoint(POINT{w / 2, h / 2}), saver.hwnd);
    EXPECT_TRUE(test::WaitUntil([] { return !PointerShowing(); }, kWaitMs));
    auto coloured = [&] {
        const std::vector<uint32_t> px = test::ScreenPixels(RECT{0, 0, w, h});
        return px.size() - std::count(px.begin(), px.end(), 0u);
    };
    // One Earth covers about 1900 pixels; a chain of several soon shows.
    EXPECT_TRUE(test::WaitUntil([&] { return coloured() > 3 * 1500; }, kWaitMs));
    // The real mouse ends it. Moves that arrive while a tick pauses merge into one, so keep moving until it ends;
    // the exact count of 31 is checked in process (display_window_wintest.cpp), where the count can be read.
    bool ended = false;
    for (int i = 0; i < 400 && !ended; ++i) {
        test::MoveMouseTo(100 + (i % 2) * 40, 100 + i % 200);
        ended = saver.proc.WaitExit(20);
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(saver.proc.ExitCode(), 0u);
}

// A prompt, a call, a remote take-over: another program's window comes up and takes the foreground.
TEST(DisplayMode, AnotherProgramTakingTheForegroundEndsTheSaverAndItsMusicWithinTwoSeconds) {
    Saver saver;
    saver.install.dir().WriteBytes(L"song.mp3", test::ReadFileBytes(test::TestMp3Path()));
    const std::wstring song = saver.install.dir().File(L"song.mp3");
    saver.install.WriteIni(Ini(L"10", L"2", song));
    ASSERT_TRUE(saver.Start(L"/s"));
    ASSERT_TRUE(test::WaitUntil([&] { return test::HeldForItself(song); }, kWaitMs)) << "the music never played";
    const ULONGLONG shown = GetTickCount64();
    test::HostWindow other(L"Other program", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200);
    SetForegroundWindow(other.hwnd());
    EXPECT_TRUE(saver.Ends(2000));
    std::printf("the saver ended %u ms after the other window came up\n",
                static_cast<unsigned>(GetTickCount64() - shown));
    // Nothing holds the music file any more: it opens for writing, shared with nobody.
    const HANDLE file = CreateFileW(song.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(file);
}

// Whatever the settings file holds, the saver runs and ends on a key within one pause. How each value is read is
// the settings tests' business, how each music file fails the music tests'; here the pauses and the music that
// fails in the running program.
struct SettingsRow {
    const char* name;
    std::wstring speed, kind, file;
    DWORD pauseMs;               // the longest a key may wait for a tick to finish
    const char* createFile;      // a file of this name is made beside the program first, or null
    const char* fileBytes = "";  // its content
};

class BadSettings : public ::testing::TestWithParam<SettingsRow> {};

TEST_P(BadSettings, RunAndEndOnAKeyWithinOnePause) {
    const SettingsRow& row = GetParam();
    Saver saver;
    std::wstring file = row.file;
    if (row.createFile) {
        const std::wstring name(row.createFile, row.createFile + strlen(row.createFile));
        saver.install.dir().WriteBytes(name, row.fileBytes);
        // A bare name stays bare: it is looked up beside the program, which is where it runs.
        if (file.empty())
            file = name.size() > 2 ? saver.install.dir().File(name) : name;
    }
    saver.install.WriteIni(Ini(row.speed, row.kind, file));
    ASSERT_TRUE(saver.Start(L"/s"));
    test::Pump(200);
    const ULONGLONG pressed = GetTickCount64();
    test::SendKey(VK_SHIFT);
    EXPECT_TRUE(saver.Ends(row.pauseMs + kWaitMs));
    // The key waits for the tick under way, whose pause is the longest part, then the program ends (about 20 ms;
    // the rest is room for a loaded machine).
    const ULONGLONG took = GetTickCount64() - pressed;
    EXPECT_LE(took, row.pauseMs + kEndingMs) << "ended " << took << " ms after the key";
    EXPECT_EQ(test::CountTitled(L"Orbimotion_Main"), 0);
}

INSTANTIATE_TEST_SUITE_P(Table,
                         BadSettings,
                         ::testing::Values(SettingsRow{"speed_0", L"0", L"", L"", 0, nullptr},
                                           SettingsRow{"speed_100", L"100", L"", L"", 100, nullptr},
                                           SettingsRow{"speed_32767", L"32767", L"", L"", 32767, nullptr},
                                           SettingsRow{"cd_without_drive", L"10", L"1", L"", 10, nullptr},
                                           SettingsRow{"damaged_mixed_case_mp3", L"10", L"2", L"", 10, "a.Mp3",
                                                       "not an mp3"},
                                           SettingsRow{"damaged_wav", L"10", L"2", L"", 10, "bad.WAV", "RIFF"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Windows of a process that are still shown, by title.
std::vector<std::wstring> ShownWindowTitles(DWORD pid) {
    std::vector<std::wstring> titles;
    test::FindTopLevel([&](HWND h) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == pid && IsWindowVisible(h))
            titles.push_back(test::TextOf(h));
        return false;
    });
    return titles;
}

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// Another program's window filling the second monitor (or an area): magenta, and it notes any click or key that
// reaches it.
class OtherProgram {
  public:
    RECT area{};
    int clicks = 0, keys = 0;

    OtherProgram() : OtherProgram(SecondMonitor()) {}
    explicit OtherProgram(const RECT& at) : area(at) {
        if (IsRectEmpty(&area))
            return;
        WNDCLASSW wc{};
        wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
            auto* self = reinterpret_cast<OtherProgram*>(GetWindowLongPtrW(h, GWLP_USERDATA));
            if (self && (msg == WM_LBUTTONDOWN || msg == WM_MOUSEACTIVATE))
                ++self->clicks;
            if (self && msg == WM_KEYDOWN)
                ++self->keys;
            return DefWindowProcW(h, msg, wp, lp);
        };
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = brush_.get();
        wc.lpszClassName = L"OrbiTestOtherProgram";
        RegisterClassW(&wc);
        window_.reset(CreateWindowExW(0, wc.lpszClassName, L"Other program", WS_POPUP | WS_VISIBLE, area.left, area.top,
                                      area.right - area.left, area.bottom - area.top, nullptr, nullptr, wc.hInstance,
                                      nullptr));
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetForegroundWindow(window_.get());
        UpdateWindow(window_.get());
    }
    ~OtherProgram() {
        window_.reset();
        UnregisterClassW(L"OrbiTestOtherProgram", GetModuleHandleW(nullptr));
    }
    HWND hwnd() const { return window_.get(); }
    int Magenta() const {
        const std::vector<uint32_t> px = test::ScreenPixels(area);
        return static_cast<int>(std::count(px.begin(), px.end(), static_cast<uint32_t>(0xFF00FF)));
    }
    int NotBlack() const {
        const std::vector<uint32_t> px = test::ScreenPixels(area);
        return static_cast<int>(px.size()) - static_cast<int>(std::count(px.begin(), px.end(), 0u));
    }
    POINT Centre() const { return POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2}; }

  private:
    static RECT SecondMonitor() {
        HMONITOR found = nullptr;
        EnumDisplayMonitors(
            nullptr, nullptr,
            [](HMONITOR m, HDC, LPRECT, LPARAM data) -> BOOL {
                MONITORINFO info{};
                info.cbSize = sizeof info;
                if (GetMonitorInfoW(m, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
                    *reinterpret_cast<HMONITOR*>(data) = m;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        MONITORINFO info{};
        info.cbSize = sizeof info;
        return found && GetMonitorInfoW(found, &info) ? info.rcMonitor : RECT{};
    }
    UniqueBrush brush_{CreateSolidBrush(kMagenta)};
    UniqueWindow window_;
};

// Run with a second monitor (scripts/test.sh starts desks with it right of, left of and above the primary).
class MonitorsDisplayMode : public ::testing::Test {
  protected:
    void SetUp() override {
        ORBI_NEED_SECOND_MONITOR();
        ASSERT_TRUE(other.hwnd());
        std::printf("other monitor %ld,%ld-%ld,%ld\n", other.area.left, other.area.top, other.area.right,
                    other.area.bottom);
        // The oracle sees the other program before the saver starts.
        ASSERT_TRUE(test::WaitUntil([&] { return other.Magenta() > 0; }, kWaitMs));
        test::MoveMouseTo(other.Centre().x, other.Centre().y);
    }
    OtherProgram other;
    Saver saver;
};

TEST_F(MonitorsDisplayMode, TheOtherMonitorIsBlackWithoutCaptionAndAClickThereEndsTheSaverWithoutReachingIt) {
    ASSERT_TRUE(saver.Start(L"/s"));
    EXPECT_TRUE(test::WaitUntil([&] { return other.NotBlack() == 0; }, kWaitMs))
        << other.Magenta() << " pixels of the other program, " << other.NotBlack() << " not black";
    // And it stays so while the animation runs.
    int seen = 0;
    for (int i = 0; i < 10; ++i) {
        test::WaitUntil([] { return false; }, 30);
        seen += other.NotBlack();
    }
    EXPECT_EQ(seen, 0);
    EXPECT_TRUE(IsWindowVisible(other.hwnd()));
    std::vector<std::wstring> titles = ShownWindowTitles(saver.proc.pid());
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"", L"Orbimotion_Main"}));
    test::ClickMouseAt(other.Centre().x, other.Centre().y);
    EXPECT_TRUE(saver.Ends());
    EXPECT_EQ(other.clicks, 0);
    EXPECT_TRUE(test::WaitUntil([&] { return other.Magenta() > 0; }, kWaitMs));
    EXPECT_EQ(test::CountTitled(L"Orbimotion_Main"), 0);
}

TEST_F(MonitorsDisplayMode, AKeyWithThePointerOnTheOtherMonitorEndsTheSaver) {
    ASSERT_TRUE(saver.Start(L"/s"));
    ASSERT_TRUE(test::WaitUntil([&] { return other.NotBlack() == 0; }, kWaitMs));
    test::MoveMouseTo(other.Centre().x + 5, other.Centre().y);
    test::SendKey(VK_SHIFT);
    EXPECT_TRUE(saver.Ends());
    EXPECT_EQ(other.keys, 0);
}

LONG ChangeMode(int w, int h) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = w;
    mode.dmPelsHeight = h;
    return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr);
}

// Run on a desk whose resolution can change (scripts/test.sh starts one), changed as a user does while it runs.
TEST(ModeChangeDisplayMode, TheWindowAndTheAnimationFillEachNewResolutionAndAKeyStillEndsTheSaver) {
    if (!test::AskedResizable())
        GTEST_SKIP() << "a desk whose resolution cannot change";
    // The session gets its own resolution back, whatever happens here.
    struct Restore {
        int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        ~Restore() { ChangeMode(w, h); }
    } restore;
    // Another program lies under the saver where the larger screen will show it.
    OtherProgram other(RECT{0, 0, 1280, 1024});
    Saver saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    const auto fills = [&](LONG w, LONG h) {
        RECT r{};
        return GetWindowRect(saver.hwnd, &r) && r.left == 0 && r.top == 0 && r.right == w && r.bottom == h;
    };
    ASSERT_EQ(ChangeMode(1280, 1024), DISP_CHANGE_SUCCESSFUL) << "the desk offers no 1280 x 1024 mode";
    const ULONGLONG changed = GetTickCount64();
    EXPECT_TRUE(test::WaitUntil([&] { return fills(1280, 1024); }, kWaitMs));
    // Beyond the old 1024 x 768 the new canvas shows, black with Earths on the new curve: never the other program,
    // nor the window's grey where a canvas of the old size ends.
    int earths = 0, foreign = 0;
    const auto onlyTheAnimationBeyond = [&] {
        earths = foreign = 0;
        for (const RECT& beyond : {RECT{1024, 0, 1280, 1024}, RECT{0, 768, 1024, 1024}})
            for (uint32_t c : test::ScreenPixels(beyond)) {
                foreign += c == 0xFF00FF || c == 0x808080;
                earths += c != 0 && c != 0xFF00FF && c != 0x808080;
            }
        return foreign == 0 && earths > 0;
    };
    EXPECT_TRUE(test::WaitUntil(onlyTheAnimationBeyond, kWaitMs))
        << earths << " Earth pixels, " << foreign << " foreign";
    std::printf("the animation filled 1280 x 1024 after %u ms\n", static_cast<unsigned>(GetTickCount64() - changed));
    ASSERT_EQ(ChangeMode(800, 600), DISP_CHANGE_SUCCESSFUL) << "the desk offers no 800 x 600 mode";
    EXPECT_TRUE(test::WaitUntil([&] { return fills(800, 600); }, kWaitMs));
    test::SendKey(VK_SHIFT);
    EXPECT_TRUE(saver.Ends());
}

// Run at every display scaling (scripts/test.sh starts desks at 120 to 336 dpi).
TEST(AnyDpiDisplayMode, TheLastRowAndColumnAreNeverGreyAndAClickInTheCornerEndsTheSaver) {
    ORBI_NEED_ASKED_DPI();
    Saver saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    std::printf("screen %d x %d at %d dpi\n", w, h, GetDeviceCaps(screen, LOGPIXELSX));
    ReleaseDC(nullptr, screen);
    // The curve reaches every edge within a scene; meanwhile the edges must show the canvas, never the form's grey.
    const uint32_t grey = 0x808080;
    int greySeen = 0;
    for (int frame = 0; frame < 20; ++frame) {
        for (const std::vector<uint32_t>& edge :
             {test::ScreenPixels(RECT{0, h - 1, w, h}), test::ScreenPixels(RECT{w - 1, 0, w, h})})
            greySeen += static_cast<int>(std::count(edge.begin(), edge.end(), grey));
        test::WaitUntil([] { return false; }, 20);
    }
    EXPECT_EQ(greySeen, 0);
    test::ClickMouseAt(w - 1, h - 1);
    EXPECT_TRUE(saver.Ends());
}

}  // namespace
}  // namespace orbi
