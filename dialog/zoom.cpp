#include "dialog/zoom.h"

#include "platform/numbers.h"

namespace orbi {

namespace {

// The origin as an empty rectangle; the 16-bit values are sign-extended.
Rect OriginRect(const ZoomPoint& origin) {
    return Rect{origin.X, origin.Y, origin.X, origin.Y};
}

}  // namespace

void SetZoomOriginFromCursor(Program& p) {
    Point cursor;
    p.ApiResult = p.api.GetCursorPos(cursor);
    if (p.ApiResult == 0) {
        p.ZoomOrigin = ZoomPoint{};
        return;
    }
    if (auto x = ToInt16(cursor.x))
        p.ZoomOrigin.X = *x;
    if (auto y = ToInt16(cursor.y))
        p.ZoomOrigin.Y = *y;
}

void ZoomOpen(Program& p, Hwnd window) {
    Rect target;  // stays all zeros when the call fails
    p.api.GetWindowRect(window, target);
    p.api.DrawAnimatedRects(window, kIdaniCaption, OriginRect(p.ZoomOrigin), target);
}

void ZoomClose(Program& p, Hwnd window) {
    Rect source;
    p.api.GetWindowRect(window, source);
    p.api.DrawAnimatedRects(window, kIdaniCaption, source, OriginRect(p.ZoomOrigin));
}

}  // namespace orbi
