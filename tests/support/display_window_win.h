// The display window inside the test process: a scripted scene, the program's end counted instead of taken, and
// the screen and the monitors it is given (the real ones when none are). `window` holds it already while it loads.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "display/orbimotion_s_win.h"

namespace orbi::test {

inline void LoadDisplayWindow(std::unique_ptr<Orbimotion_S>& window,
                              Process& p,
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
    window = std::make_unique<Orbimotion_S>(p, seams);
    window->Load();
}

}  // namespace orbi::test
