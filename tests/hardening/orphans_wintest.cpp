// A screen saver is started and stopped by the system all day long: no way of stopping it may leave a process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/scr_drivers_win.h"

namespace orbi {
namespace {

constexpr DWORD kWaitMs = test::kProgramWaitMs;

TEST(Orphans, FiftyPreviewPanesCreatedAndDestroyedLeaveNoProcess) {
    test::ScrInstall install;
    const int before = test::CountProcesses(L"Orbimotion.scr");
    for (int cycle = 0; cycle < 50; ++cycle) {
        test::HostWindow pane(L"pane", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112);
        ASSERT_TRUE(pane.hwnd());
        test::ScrProcess proc;
        ASSERT_TRUE(proc.Start(install, L"/p " + pane.HandleText()));
        ASSERT_TRUE(test::WaitUntil([&] { return pane.FirstChild() != nullptr; }, kWaitMs)) << "cycle " << cycle;
        pane.Destroy();
        ASSERT_TRUE(proc.WaitExit(kWaitMs)) << "cycle " << cycle;
    }
    EXPECT_EQ(test::CountProcesses(L"Orbimotion.scr"), before);
}

// Ten each of the ways a user or the system ends a running saver from outside: a key, a click, a close message.
TEST(Orphans, SaversEndedByKeysClicksOrCloseMessagesLeaveNoProcess) {
    test::ScrInstall install;
    const int before = test::CountProcesses(L"Orbimotion.scr");
    for (int cycle = 0; cycle < 30; ++cycle) {
        test::Saver saver(install);
        ASSERT_TRUE(saver.Start()) << "cycle " << cycle;
        const bool other = cycle / 3 % 2;
        if (cycle % 3 == 0)
            test::SendKey(other ? VK_SPACE : VK_SHIFT);
        else if (cycle % 3 == 1)
            test::ClickMouseAt(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, other);
        else
            PostMessageW(saver.hwnd, WM_CLOSE, 0, 0);
        ASSERT_TRUE(saver.Ends()) << "cycle " << cycle;
        EXPECT_FALSE(IsWindow(saver.hwnd)) << "cycle " << cycle;
    }
    EXPECT_EQ(test::CountProcesses(L"Orbimotion.scr"), before);
}

}  // namespace
}  // namespace orbi
