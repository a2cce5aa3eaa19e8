// A screen saver is started and stopped by the system all day long: no way of stopping it may leave a process.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "support/scr_process_win.h"

namespace orbi {
namespace {

constexpr DWORD kWaitMs = 15000;

HWND MakePane() {
    static const wchar_t* kClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrbiOrphanPane";
        RegisterClassW(&wc);
        return L"OrbiOrphanPane";
    }();
    return CreateWindowW(kClass, L"pane", WS_POPUP | WS_VISIBLE, 0, 0, 152, 112, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

HWND PreviewIn(HWND pane) {
    HWND found = nullptr;
    EnumChildWindows(
        pane,
        [](HWND h, LPARAM lp) -> BOOL {
            *reinterpret_cast<HWND*>(lp) = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST(Orphans, FiftyPreviewPanesCreatedAndDestroyedLeaveNoProcess) {
    test::ScrInstall install;
    const int before = test::CountProcesses(L"Orbimotion.scr");
    for (int cycle = 0; cycle < 50; ++cycle) {
        HWND pane = MakePane();
        ASSERT_TRUE(pane);
        test::ScrProcess proc;
        ASSERT_TRUE(proc.Start(install.exe(), L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(pane))));
        ASSERT_TRUE(test::WaitUntil([&] { return PreviewIn(pane) != nullptr; }, kWaitMs)) << "cycle " << cycle;
        DestroyWindow(pane);
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
        test::ScrProcess proc;
        ASSERT_TRUE(proc.Start(install.exe(), L"/s"));
        // Input reaches the saver once its load sequence has shown it, raised it above everything and the system
        // has given it the keyboard.
        HWND saver = nullptr;
        ASSERT_TRUE(test::WaitUntil(
            [&] {
                saver = test::WaitForProcessWindow(proc.pid(), 0);
                return saver && (GetWindowLongW(saver, GWL_EXSTYLE) & WS_EX_TOPMOST) && GetForegroundWindow() == saver;
            },
            kWaitMs))
            << "cycle " << cycle;
        switch (GetParam()) {
            case Ending::Key:
                test::SendKey(cycle % 2 ? VK_SPACE : VK_SHIFT);
                break;
            case Ending::Click:
                test::ClickMouseAt(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, cycle % 2);
                break;
            case Ending::CloseMessage:
                PostMessageW(saver, WM_CLOSE, 0, 0);
                break;
        }
        ASSERT_TRUE(proc.WaitExit(kWaitMs)) << "cycle " << cycle;
        EXPECT_EQ(proc.ExitCode(), 0u) << "cycle " << cycle;
        EXPECT_FALSE(IsWindow(saver)) << "cycle " << cycle;
    }
    EXPECT_EQ(test::CountProcesses(L"Orbimotion.scr"), before);
}

INSTANTIATE_TEST_SUITE_P(Orphans,
                         SaverEndings,
                         ::testing::Values(Ending::Key, Ending::Click, Ending::CloseMessage),
                         [](const auto& info) { return std::string(NameOf(info.param)); });

}  // namespace
}  // namespace orbi
