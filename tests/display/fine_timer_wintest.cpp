// The system's 1 ms clock through the recording call layer: a saver whose window cannot be made still gives back
// what it asked for, and the preview and the settings dialog never ask. The saver's other ways out: Closing and the
// 31st move in display_window_wintest.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "dialog/settings_dialog_win.h"
#include "display/scripted_random.h"
#include "startup/preview_window_win.h"
#include "support/display_window_win.h"
#include "support/fake_win_api.h"
#include "support/scr_process_win.h"

namespace orbi {
namespace {

// Refuses every window this thread tries to make.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(FineClock, AFailedLoadAsksAndGivesBackOnceThePreviewAndTheDialogNeverAsk) {
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
}

}  // namespace
}  // namespace orbi
