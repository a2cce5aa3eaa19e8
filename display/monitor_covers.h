// Which parts of the desk the display window's black covers take: every monitor other than the primary one, which
// carries the animation.
#pragma once

#include <vector>

#include "platform/win_api.h"

namespace orbi {

// One monitor as the system lists it, in virtual-screen pixels (left of or above the primary is negative).
struct MonitorArea {
    Rect rect;
    bool primary = false;
};

// The rectangles to cover, in the system's order: every monitor but the primary, leaving out empty ones and those
// lying wholly inside the primary (a mirrored head), whose cover would hide the animation.
std::vector<Rect> CoverRects(const std::vector<MonitorArea>& monitors);

}  // namespace orbi
