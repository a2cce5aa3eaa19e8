// A screen saver is started and stopped by the system all day long: no way of stopping it may leave a process.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
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

// The ways a user or the system ends a running saver from outside.
enum class Ending { Key, Click, CloseMessage };

const char* NameOf(Ending ending) {
    switch (ending) {
        case Ending::Key:
            return "key";
        case Ending::Click:
            return "click";
        default:
            return "close_message";
    }
}

void PrintTo(Ending ending, std::ostream* out) {
    *out << NameOf(ending);
}

class SaverEndings : public ::testing::TestWithParam<Ending> {};

TEST_P(SaverEndings, TenSaversEndedThisWayLeaveNoProcess) {
    test::ScrInstall install;
    const int before = test::CountProcesses(L"Orbimotion.scr");
    for (int cycle = 0; cycle < 10; ++cycle) {
        test::Saver saver(install);
        ASSERT_TRUE(saver.Start()) << "cycle " << cycle;
        switch (GetParam()) {
            case Ending::Key:
                test::SendKey(cycle % 2 ? VK_SPACE : VK_SHIFT);
                break;
            case Ending::Click:
                test::ClickMouseAt(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, cycle % 2);
                break;
            case Ending::CloseMessage:
                PostMessageW(saver.hwnd, WM_CLOSE, 0, 0);
                break;
        }
        ASSERT_TRUE(saver.Ends()) << "cycle " << cycle;
        EXPECT_FALSE(IsWindow(saver.hwnd)) << "cycle " << cycle;
    }
    EXPECT_EQ(test::CountProcesses(L"Orbimotion.scr"), before);
}

INSTANTIATE_TEST_SUITE_P(Orphans,
                         SaverEndings,
                         ::testing::Values(Ending::Key, Ending::Click, Ending::CloseMessage),
                         [](const auto& info) { return std::string(NameOf(info.param)); });

}  // namespace
}  // namespace orbi
