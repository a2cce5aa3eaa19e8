// The system's 1 ms clock through the recording call layer: a saver whose window cannot be made still gives back
// what it asked for, one in the dark gives it back until the screen is seen again, and the preview and the settings
// dialog never ask. The saver's other ways out: Closing and the 31st move in display_window_wintest.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "dialog/settings_dialog_win.h"
#include "display/scripted_random.h"
#include "startup/preview_window_win.h"
#include "support/display_window_win.h"
#include "support/fake_win_api.h"
#include "support/scr_process_win.h"

namespace orbi {
namespace {

constexpr GUID kDisplayState = {0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

// Refuses every window this thread tries to make.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(FineClock, AFailedLoadAsksAndGivesBackOnceTheDarkGivesItBackTheSeenScreenAsksAgainThePreviewAndDialogNever) {
    test::FakeWinApi api;
    Program p{api};
    test::ScriptedRandom random;
    int ended = 0;
    std::unique_ptr<DisplayWindow> saver;
    HHOOK hook = SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
    test::LoadDisplayWindow(saver, p, random, ended);
    UnhookWindowsHookEx(hook);
    ASSERT_EQ(saver->hwnd(), nullptr);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(api.CallsStartingWith(L"time"), (std::vector<std::wstring>{L"timeBeginPeriod(1)", L"timeEndPeriod(1)"}));
    api.calls.clear();
    p.settings.Speed = 10;
    SettingsDialog dialog(p);
    ASSERT_TRUE(dialog.Load());
    dialog.Show();
    test::Pump(100);
    dialog.Unload();
    // Without a host pane the preview goes as soon as it is shown, after all of its own steps.
    PreviewWindow preview(p);
    ASSERT_TRUE(preview.Load());
    preview.Place(2000, 1500, 133, 100);
    preview.Show();
    test::Pump(100);
    EXPECT_TRUE(api.CallsStartingWith(L"time").empty());

    // The display's state as Windows sends it (0 off, 1 on, 2 dimmed) and the calls each makes.
    const std::wstring begin = L"timeBeginPeriod(1)", end = L"timeEndPeriod(1)";
    const std::pair<DWORD, std::vector<std::wstring>> steps[] = {{0, {end}}, {2, {begin}}, {1, {}},
                                                                 {0, {end}}, {1, {begin}}, {0, {end}}};
    test::LoadDisplayWindow(saver, p, random, ended);
    ASSERT_TRUE(saver->hwnd());
    for (const auto& [state, calls] : steps) {
        api.calls.clear();
        struct {
            GUID setting;
            DWORD length, data;
        } record{kDisplayState, sizeof(DWORD), state};
        SendMessageW(saver->hwnd(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&record));
        EXPECT_EQ(api.CallsStartingWith(L"time"), calls) << state;
        // Seen (on or dimmed), the ticks draw again; in the dark none comes.
        test::Pump(state ? 0 : 100);
        EXPECT_EQ(test::WaitUntil([&] { return !api.CallsStartingWith(L"Sleep").empty(); }, state ? 5000 : 0),
                  state != 0);
    }
    api.calls.clear();
    SendMessageW(saver->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ended, 2);
    EXPECT_TRUE(api.CallsStartingWith(L"time").empty());
}

}  // namespace
}  // namespace orbi
