// A preview whose host is killed outright: the system deletes the pane with the preview inside it and sends the
// preview nothing, and its process must still end.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scr_process_win.h"

namespace orbi {
namespace {

using test::ScrProcess;

TEST(PreviewHost, KilledOutrightTakesThePreviewProcessWithItWithinThreeSeconds) {
    // The keep-alive tool stands in for the host: a process of its own that owns the window used as the pane.
    ScrProcess host;
    ASSERT_TRUE(host.Start(test::WindowsPath(ORBI_KEEPALIVE_PATH), L""));
    HWND pane = nullptr;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            pane = test::FindTopLevel([&](HWND h) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                return pid == host.pid() && test::ClassOf(h) == L"OrbimotionTestKeepAlive";
            });
            return pane != nullptr;
        },
        test::kProgramWaitMs));
    test::ScrInstall install;
    ScrProcess preview;
    ASSERT_TRUE(preview.Start(install, L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(pane))));
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            const std::vector<HWND> children = test::Descendants(pane);
            // Shown in a hidden pane: its own style says so.
            return !children.empty() && (GetWindowLongW(children.front(), GWL_STYLE) & WS_VISIBLE);
        },
        test::kProgramWaitMs));

    host.Kill();  // TerminateProcess: no close, no destroy
    ASSERT_FALSE(host.Running());
    EXPECT_TRUE(preview.WaitExit(3000));
}

}  // namespace
}  // namespace orbi
