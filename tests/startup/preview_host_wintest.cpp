// A preview whose host is killed outright: the system deletes the pane with the preview inside it and sends the
// preview nothing, and its process must still end.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/process_win.h"
#include "support/windows_win.h"

namespace orbi {
namespace {

TEST(PreviewHost, KilledOutrightTakesThePreviewProcessWithItWithinThreeSeconds) {
    // The keep-alive tool stands in for the host: a process of its own that owns the window used as the pane.
    test::ScrProcess host;
    ASSERT_TRUE(host.Start(test::WindowsPath(ORBI_KEEPALIVE_PATH), L""));
    const HWND pane = test::WaitForTopLevel(
        [&](HWND h) {
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            return pid == host.pid() && test::ClassOf(h) == L"OrbimotionTestKeepAlive";
        },
        test::kProgramWaitMs);
    ASSERT_TRUE(pane);
    test::ScrInstall install;
    test::ScrProcess preview;
    ASSERT_TRUE(preview.Start(install, L"/p " + std::to_wstring(reinterpret_cast<uintptr_t>(pane))));
    // Shown in a hidden pane: its own style says so.
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            const std::vector<HWND> children = test::Descendants(pane);
            return !children.empty() && (GetWindowLongW(children.front(), GWL_STYLE) & WS_VISIBLE);
        },
        test::kProgramWaitMs));

    host.Kill();  // TerminateProcess: no close, no destroy
    ASSERT_FALSE(host.Running());
    EXPECT_TRUE(preview.WaitExit(3000));
}

}  // namespace
}  // namespace orbi
