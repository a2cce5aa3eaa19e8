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

// Every way a user or the system ends a running saver from outside, three times each: any click, any key (the
// shifts and Alt too), a close message. Each must end the program and leave no process.
TEST(Orphans, SaversEndedByClicksKeysOrCloseMessagesLeaveNoProcess) {
    const int inputs[] = {VK_LBUTTON, VK_RBUTTON, VK_SHIFT,  VK_CONTROL, VK_MENU,
                          int{'A'},   VK_SPACE,   VK_ESCAPE, VK_F10,     0};
    test::ScrInstall install;
    const int before = test::CountProcesses(L"Orbimotion.scr");
    for (int cycle = 0; cycle < 30; ++cycle) {
        const int input = inputs[cycle % 10];
        test::Saver saver(install);
        ASSERT_TRUE(saver.Start()) << "cycle " << cycle;
        if (input == VK_LBUTTON || input == VK_RBUTTON)
            test::ClickMouseAt(GetSystemMetrics(SM_CXSCREEN) / 3, GetSystemMetrics(SM_CYSCREEN) / 3,
                               input == VK_RBUTTON);
        else if (input)
            test::SendKey(static_cast<WORD>(input));
        else
            PostMessageW(saver.hwnd, WM_CLOSE, 0, 0);
        ASSERT_TRUE(saver.Ends()) << "cycle " << cycle << ", virtual key " << input;
        EXPECT_FALSE(IsWindow(saver.hwnd)) << "cycle " << cycle;
    }
    EXPECT_EQ(test::CountProcesses(L"Orbimotion.scr"), before);
}

}  // namespace
}  // namespace orbi
