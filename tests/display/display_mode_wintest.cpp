// Display mode as the screen-saver host runs it: the real program in a scratch folder with its own settings,
// driven from outside by window messages and by input as a user makes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/surface_win.h"
#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

using test::Saver;
using test::ScrProcess;

constexpr DWORD kWaitMs = test::kProgramWaitMs;
constexpr DWORD kEndingMs = 3000;

std::string Ini(const std::wstring& speed, const std::wstring& kind, const std::wstring& file) {
    std::wstring text = L"[Section]\r\n";
    if (!speed.empty())
        text += L"速さ=" + speed + L"\r\n";
    if (!kind.empty())
        text += L"BGM区分=" + kind + L"\r\n";
    if (!file.empty())
        text += L"BGMﾌｧｲﾙ=" + file + L"\r\n";
    return test::Cp932(text);
}

int CountTitled(const wchar_t* title) {
    struct Search {
        const wchar_t* title;
        int count;
    } search{title, 0};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t text[64] = {};
            GetWindowTextW(h, text, 64);
            if (wcscmp(text, s->title) == 0)
                ++s->count;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
}

bool PointerShowing() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    return GetCursorInfo(&info) && (info.flags & CURSOR_SHOWING);
}

TEST(DisplayMode, WindowIsTitledBorderlessTopmostAndCoversTheScreen) {
    Saver saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    wchar_t title[64] = {};
    GetWindowTextW(saver.hwnd, title, 64);
    EXPECT_STREQ(title, L"Orbimotion_Main");
    EXPECT_FALSE(GetWindowLongW(saver.hwnd, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
    RECT r{};
    GetWindowRect(saver.hwnd, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(WindowFromPoint(POINT{r.right / 2, r.bottom / 2}), saver.hwnd);
    PostMessageW(saver.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.Ends());
}

TEST(DisplayMode, ScreenShowsAGrowingChainOfEarths) {
    Saver saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    auto coloured = [&] {
        HDC screen = GetDC(nullptr);
        BackingImage shot;
        shot.Resize(w, h);
        BitBlt(shot.dc(), 0, 0, w, h, screen, 0, 0, SRCCOPY);
        ReleaseDC(nullptr, screen);
        GdiFlush();
        int n = 0;
        for (int i = 0; i < w * h; ++i)
            n += (shot.bits()[i] & 0xFFFFFF) != 0;
        return n;
    };
    // One Earth covers about 1900 pixels; a chain of several soon shows.
    EXPECT_TRUE(test::WaitUntil([&] { return coloured() > 3 * 1500; }, kWaitMs));
    test::SendKey(VK_SPACE);
    EXPECT_TRUE(saver.Ends());
}

TEST(DisplayMode, PointerIsHiddenWithTheSwitchAndShownWithoutArguments) {
    {
        Saver saver;
        ASSERT_TRUE(saver.Start(L"/s"));
        EXPECT_TRUE(test::WaitUntil([] { return !PointerShowing(); }, kWaitMs));
        test::SendKey(VK_SHIFT);
        EXPECT_TRUE(saver.Ends());
    }
    {
        Saver saver;
        ASSERT_TRUE(saver.Start(L""));
        test::Pump(300);
        EXPECT_TRUE(PointerShowing());
        test::SendKey(VK_SHIFT);
        EXPECT_TRUE(saver.Ends());
    }
}

TEST(DisplayMode, MovingTheRealMouseEndsIt) {
    Saver saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    // Moves that arrive while a tick pauses merge into one, so keep moving until the saver has ended.
    bool ended = false;
    for (int i = 0; i < 400 && !ended; ++i) {
        test::MoveMouseTo(100 + (i % 2) * 40, 100 + i % 200);
        ended = saver.proc.WaitExit(20);
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(saver.proc.ExitCode(), 0u);
}

TEST(DisplayMode, OneClickEndsIt) {
    for (bool right : {false, true}) {
        Saver saver;
        ASSERT_TRUE(saver.Start(L"/s"));
        test::ClickMouseAt(GetSystemMetrics(SM_CXSCREEN) / 3, GetSystemMetrics(SM_CYSCREEN) / 3, right);
        EXPECT_TRUE(saver.Ends()) << right;
    }
}

class Keys : public ::testing::TestWithParam<WORD> {};

TEST_P(Keys, AnyOneKeyEndsIt) {
    Saver saver;
    ASSERT_TRUE(saver.Start(L"/s"));
    test::SendKey(GetParam());
    EXPECT_TRUE(saver.Ends());
}

INSTANTIATE_TEST_SUITE_P(Table,
                         Keys,
                         ::testing::Values(VK_SHIFT, VK_CONTROL, VK_MENU, 'A', VK_ESCAPE, VK_F10),
                         [](const auto& info) {
                             switch (info.param) {
                                 case VK_SHIFT:
                                     return std::string("shift_alone");
                                 case VK_CONTROL:
                                     return std::string("ctrl_alone");
                                 case VK_MENU:
                                     return std::string("alt_alone");
                                 case VK_ESCAPE:
                                     return std::string("escape");
                                 case VK_F10:
                                     return std::string("f10");
                             }
                             return std::string("letter");
                         });

TEST(DisplayMode, ASecondCopyEndsAtOnceAndLeavesTheFirstRunning) {
    Saver first;
    ASSERT_TRUE(first.Start(L"/s"));
    for (const wchar_t* args : {L"/s", L"", L"/c"}) {
        ScrProcess second;
        ASSERT_TRUE(second.Start(first.install.exe(), args));
        EXPECT_TRUE(second.WaitExit(kWaitMs)) << args;
    }
    EXPECT_TRUE(first.proc.Running());
    EXPECT_EQ(CountTitled(L"Orbimotion_Main"), 1);
    test::SendKey('X');
    EXPECT_TRUE(first.Ends());
    EXPECT_EQ(CountTitled(L"Orbimotion_Main"), 0);
}

TEST(DisplayMode, CloseRequestFromOutsideEndsIt) {
    Saver saver;
    ASSERT_TRUE(saver.Start(L""));
    PostMessageW(saver.hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.Ends());
}

// Whatever the settings file holds, the saver runs and ends on a key within one pause.
struct SettingsRow {
    const char* name;
    std::wstring speed, kind, file;
    DWORD pauseMs;               // the longest a key may wait for a tick to finish
    const char* createFile;      // a file of this name is made beside the program first, or null
    const char* fileBytes = "";  // its content
};

void PrintTo(const SettingsRow& row, std::ostream* out) {
    *out << row.name;
}

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
    EXPECT_EQ(CountTitled(L"Orbimotion_Main"), 0);
}

// A valid but tiny wave file: a tenth of a second of silence.
const std::string kTinyWave = test::WavBytes(100, true);

INSTANTIATE_TEST_SUITE_P(
    Table,
    BadSettings,
    ::testing::Values(SettingsRow{"speed_0", L"0", L"", L"", 0, nullptr},
                      SettingsRow{"speed_1", L"1", L"", L"", 1, nullptr},
                      SettingsRow{"speed_100", L"100", L"", L"", 100, nullptr},
                      SettingsRow{"speed_negative", L"-250", L"", L"", 0, nullptr},
                      SettingsRow{"speed_not_a_number", L"fast", L"", L"", 0, nullptr},
                      SettingsRow{"speed_too_big_for_16_bits", L"99999", L"", L"", 0, nullptr},
                      SettingsRow{"speed_32767", L"32767", L"", L"", 32767, nullptr},
                      SettingsRow{"kind_3", L"10", L"3", L"", 10, "a.wav", kTinyWave.c_str()},
                      SettingsRow{"kind_minus_1", L"10", L"-1", L"", 10, "a.mp3", "not an mp3"},
                      SettingsRow{"cd_without_drive", L"10", L"1", L"", 10, nullptr},
                      SettingsRow{"wma", L"10", L"2", L"", 10, "a.wma", "x"},
                      SettingsRow{"damaged_mixed_case_mp3", L"10", L"2", L"", 10, "a.Mp3", "not an mp3"},
                      SettingsRow{"wav", L"10", L"2", L"", 10, "loop.wav", kTinyWave.c_str()},
                      SettingsRow{"damaged_wav", L"10", L"2", L"", 10, "bad.WAV", "RIFF"},
                      SettingsRow{"two_character_name", L"10", L"2", L"", 10, "ab", "x"},
                      SettingsRow{"vanished_file", L"10", L"2", L"Z:\\nowhere\\gone.mp3", 10, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orbi
