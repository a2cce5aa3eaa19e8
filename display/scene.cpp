#include "display/scene.h"

#include <cmath>
#include <optional>

#include "platform/numbers.h"

namespace orbi {

namespace {

constexpr int16_t kHalfSprite = kSpriteSize / 2;

// round(r * scale + offset), halves to even; every result of the scene's formulas fits 16 bits.
int16_t RoundedDraw(RandomSource& random, double scale, double offset) {
    return ToInt16(random.Next() * scale + offset).value_or(0);
}

// The screen's real size in pixels. Rounding the factor first (as a whole number of twips per pixel) would leave
// grey bars at 168 or 192 dpi and run the curve off the screen at 336; for whole factors both give the same.
std::optional<int16_t> PixelsFromTwips(double twips, double twipsPerPixel) {
    if (!(twipsPerPixel > 0))
        return std::nullopt;
    return ToInt16(twips / twipsPerPixel);
}

// Half span + half span × the wave, to the nearest pixel; a non-finite value leaves the field unchanged.
void Place(int32_t& field, int16_t halfSpan, double wave) {
    if (const std::optional<int32_t> v = ToInt32(halfSpan + halfSpan * wave))
        field = *v;
}

}  // namespace

void SizeToScreen(DisplayState& s, const ScreenTwips& screen) {
    if (const auto w = PixelsFromTwips(screen.width, screen.twipsPerPixelX))
        s.ScreenWidthPx = *w;
    if (const auto h = PixelsFromTwips(screen.height, screen.twipsPerPixelY))
        s.ScreenHeightPx = *h;
    // 25 is half the sprite: its left and top edges then stay between 0 and twice the half span.
    s.HalfSpanX = static_cast<int16_t>(IntDiv(s.ScreenWidthPx, 2) - kHalfSprite);
    s.HalfSpanY = static_cast<int16_t>(IntDiv(s.ScreenHeightPx, 2) - kHalfSprite);
}

void DrawSceneParameters(DisplayState& s, RandomSource& random) {
    s.PhaseX = RoundedDraw(random, 1, 30);
    s.PhaseY = RoundedDraw(random, 1, 30);
    s.ClockStep = RoundedDraw(random, 6, 3);
    s.PathClock = 0;
    s.CurveKind = static_cast<int16_t>(IntPart(random.Next() * 4) + 1);
    s.PeriodX = RoundedDraw(random, 50, 200);
    s.PeriodY = RoundedDraw(random, 50, 200);
}

void AdvanceTick(DisplayState& s) {
    s.CanvasIndex = static_cast<int16_t>(s.CanvasIndex + 1);
    if (s.CanvasIndex > kCanvasCount)
        s.CanvasIndex = 1;
    // At most 15000 + 9: the scene ends before the clock could leave 16 bits.
    s.PathClock = static_cast<int16_t>(s.PathClock + s.ClockStep);

    const double u = static_cast<double>(s.PathClock) / s.PeriodX - s.PhaseX;
    const double v = static_cast<double>(s.PathClock) / s.PeriodY - s.PhaseY;
    const bool cosineX = s.CurveKind == 3 || s.CurveKind == 4;
    const bool cosineY = s.CurveKind == 2 || s.CurveKind == 4;
    if (s.CurveKind < 1 || s.CurveKind > 4)
        return;
    Place(s.SpriteX, s.HalfSpanX, cosineX ? std::cos(u) : std::sin(u));
    Place(s.SpriteY, s.HalfSpanY, cosineY ? std::cos(v) : std::sin(v));
}

bool SceneHasEnded(const DisplayState& s) {
    return s.PathClock > kSceneEnd;
}

bool CountMouseMove(DisplayState& s) {
    // Past the end the window is gone; the count stops there and cannot overflow.
    if (s.MouseMoveCount <= kMouseMovesTolerated)
        s.MouseMoveCount = static_cast<int16_t>(s.MouseMoveCount + 1);
    return s.MouseMoveCount > kMouseMovesTolerated;
}

std::wstring MusicExtension(const std::wstring& file) {
    const size_t n = file.size() < 3 ? file.size() : 3;
    return UpperAscii(file.substr(file.size() - n));
}

}  // namespace orbi
