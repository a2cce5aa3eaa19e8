#include "display/monitor_covers.h"

namespace orbi {

namespace {

bool Empty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

std::vector<Rect> CoverRects(const std::vector<MonitorArea>& monitors) {
    std::vector<Rect> primaries;
    for (const MonitorArea& m : monitors) {
        if (m.primary)
            primaries.push_back(m.rect);
    }
    std::vector<Rect> covers;
    for (const MonitorArea& m : monitors) {
        if (m.primary || Empty(m.rect))
            continue;
        bool mirrored = false;
        for (const Rect& p : primaries)
            mirrored = mirrored || Inside(m.rect, p);
        if (!mirrored)
            covers.push_back(m.rect);
    }
    return covers;
}

}  // namespace orbi
