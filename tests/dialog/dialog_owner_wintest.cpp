// Configure mode as the display settings start it: "/c:" and the decimal handle of their own window.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/process_win.h"
#include "support/windows_win.h"

namespace orbi {
namespace {

constexpr DWORD kWaitMs = 15000;

std::wstring Decimal(HWND h) {
    return std::to_wstring(reinterpret_cast<uintptr_t>(h));
}

TEST(ConfigureModeWithHost, DialogIsOwnedByTheHostWhichIsDisabledUntilItCloses) {
    test::ScrInstall install;
    // A host window with one child, as the display settings have.
    test::HostWindow host(L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200);
    const HWND child =
        CreateWindowW(L"BUTTON", L"child", WS_CHILD | WS_VISIBLE, 5, 5, 80, 30, host.hwnd(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(host.hwnd() && child);
    // The top-level handle as Windows passes it, then a child's handle, which stands for its top-level window.
    for (const std::wstring& args : {L"/c:" + host.HandleText(), L"/c  " + Decimal(child)}) {
        SCOPED_TRACE(testing::PrintToString(args));
        test::ScrProcess proc;
        ASSERT_TRUE(proc.Start(install.exe(), args));
        const HWND dialog = test::WaitForWindow(L"<Orbimotion>", kWaitMs);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), host.hwnd());
        // Another process disables it through this thread's message queue.
        EXPECT_TRUE(test::WaitUntil([&] { return !IsWindowEnabled(host.hwnd()); }, kWaitMs));
        EXPECT_TRUE(IsWindowEnabled(dialog));

        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(proc.WaitExit(kWaitMs));
        EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
    }
    // A handle that names no window any more: the dialog opens as it does without one.
    HWND gone = CreateWindowW(L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    test::ScrProcess proc;
    ASSERT_TRUE(proc.Start(install.exe(), L"/c:" + Decimal(gone)));
    const HWND dialog = test::WaitForWindow(L"<Orbimotion>", kWaitMs);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr);
    EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(proc.WaitExit(kWaitMs));
}

}  // namespace
}  // namespace orbi
