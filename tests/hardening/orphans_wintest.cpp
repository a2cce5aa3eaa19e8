// A screen saver is started and stopped by the system all day long: no way of stopping it may leave a process.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace orbi
