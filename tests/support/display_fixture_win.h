// The display window inside the test process: the recording call layer, a scripted scene, the program's end counted
// instead of taken, and the screen and monitors it is given (the real ones when none are).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "display/display_window_win.h"
#include "support/fake_win_api.h"
#include "support/scripted_random.h"

namespace orbi::test {

// A screen of w × h pixels at 96 dpi.
inline ScreenTwips Pixels96(int w, int h) {
    return ScreenTwips{w * 15.0, h * 15.0, 15, 15};
}

class DisplayFixture : public ::testing::Test {
  protected:
    FakeWinApi api;
    Program p{api};
    ScriptedRandom random;
    int ended = 0;
    std::unique_ptr<DisplayWindow> window;

    DisplayFixture() { p.CursorHidden = true; }  // as start-up leaves it for /s
    void TearDown() override { window.reset(); }

    // `window` holds the window already while it loads.
    void Load(std::optional<ScreenTwips> screen = std::nullopt,
              std::function<std::vector<MonitorArea>()> monitors = nullptr) {
        DisplaySeams seams;
        seams.random = &random;
        seams.endProgram = [this] { ++ended; };
        seams.screen = screen;
        if (monitors)
            seams.monitors = std::move(monitors);
        window = std::make_unique<DisplayWindow>(p, seams);
        window->Load();
    }

    // The display's state as Windows sends it: 0 off, 1 on, 2 dimmed.
    void SendDisplayState(DWORD state) {
        static constexpr GUID kDisplayState = {
            0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
        struct {
            GUID setting;
            DWORD length, data;
        } record{kDisplayState, sizeof(DWORD), state};
        SendMessageW(window->hwnd(), WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&record));
    }
};

}  // namespace orbi::test
