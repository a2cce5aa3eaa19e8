// The system's 1 ms clock, seen through the recording call layer: display mode asks for it once and gives it back
// once however it ends; the preview and the settings dialog never ask.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "dialog/orbimotion_p_win.h"
#include "display/scripted_random.h"
#include "startup/orbimotion_r_win.h"
#include "support/display_window_win.h"
#include "support/fake_win_api.h"
#include "support/scr_process_win.h"

namespace orbi {
namespace {

// Refuses every window this thread tries to make: a load whose window cannot be created.
LRESULT CALLBACK RefuseWindows(int code, WPARAM wParam, LPARAM lParam) {
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(FineClock, TheSaverAsksOnceBeforeItsFirstTickAndGivesItBackOnceOnEveryWayOutPreviewAndDialogNever) {
    for (const char* way : {"key", "click", "31 moves", "close", "failed load"}) {
        test::FakeWinApi api;
        Process p{api};
        test::ScriptedRandom random;
        random.Append(test::SceneScript{}.Values());
        int ended = 0;
        std::unique_ptr<Orbimotion_S> window;
        const bool fail = way == std::string("failed load");
        HHOOK hook = fail ? SetWindowsHookExW(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId()) : nullptr;
        test::LoadDisplayWindow(window, p, random, ended, ScreenTwips{640 * 15.0, 480 * 15.0, 15, 15});
        if (hook)
            UnhookWindowsHookEx(hook);
        ASSERT_EQ(window->hwnd() == nullptr, fail) << way;
        EXPECT_EQ(api.calls.front(), L"timeBeginPeriod(1)") << way;
        const HWND h = window->hwnd();
        if (way == std::string("key"))
            PostMessageW(h, WM_KEYDOWN, 'Z', 1);
        if (way == std::string("click"))
            PostMessageW(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
        for (int i = 0; way == std::string("31 moves") && i < 31; ++i)
            PostMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        if (way == std::string("close"))
            PostMessageW(h, WM_CLOSE, 0, 0);
        ASSERT_TRUE(test::WaitUntil([&] { return ended == 1; }, 10000)) << way;
        test::Pump(50);
        EXPECT_EQ(api.CallsStartingWith(L"timeBeginPeriod(").size(), 1u) << way;
        EXPECT_EQ(api.CallsStartingWith(L"timeEndPeriod(").size(), 1u) << way;
        EXPECT_EQ(api.CallsStartingWith(L"timeEndPeriod(1)").size(), 1u) << way;
    }
    test::FakeWinApi api;
    Process p{api};
    p.settings.Speed = 10;
    Orbimotion_P dialog(p);
    ASSERT_TRUE(dialog.Load());
    dialog.Show();
    test::Pump(100);
    dialog.Unload();
    // Without a host pane the preview goes at once once shown: all of its own steps still run.
    Orbimotion_R preview(p);
    ASSERT_TRUE(preview.Load());
    preview.Place(2000, 1500, 133, 100);
    preview.Show();
    test::Pump(100);
    EXPECT_TRUE(api.CallsStartingWith(L"time").empty());
}

}  // namespace
}  // namespace orbi
