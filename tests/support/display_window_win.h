// The display window inside the test process: a scripted scene, the program's end counted instead of taken, and
// the screen and the monitors it is given (the real ones when none are). `window` holds it already while it loads.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "display/display_window_win.h"

namespace orbi::test {

inline void LoadDisplayWindow(std::unique_ptr<DisplayWindow>& window,
                              Program& p,
                              RandomSource& random,
                              int& ended,
                              std::optional<ScreenTwips> screen = std::nullopt,
                              std::function<std::vector<MonitorArea>()> monitors = nullptr) {
    DisplaySeams seams;
    seams.random = &random;
    seams.endProgram = [&ended] { ++ended; };
    seams.screen = screen;
    if (monitors)
        seams.monitors = std::move(monitors);
    window = std::make_unique<DisplayWindow>(p, seams);
    window->Load();
}

}  // namespace orbi::test
