// The display window's state and the arithmetic of its animation: the screen sizing of the load sequence, the
// random scene parameters, one tick's canvas rotation, curve position and scene-end test, and the end-on-input
// count. Drawing and pausing stay in the window; this part runs and is tested without a screen.
#pragma once

#include <cstdint>
#include <string>

#include "platform/random.h"

namespace orbi {

// The display window's caption, which start-up probes to refuse a second copy.
inline constexpr wchar_t kDisplayCaption[] = L"Orbimotion_Main";

inline constexpr int32_t kSpriteSize = 50;
inline constexpr int16_t kCanvasCount = 6;
inline constexpr int16_t kSceneEnd = 15000;
inline constexpr int16_t kMouseMovesTolerated = 30;

// The window's state fields, in its order and widths; all zero when the window is created.
struct DisplayState {
    int16_t CanvasIndex = 0;  // 1 to 6 once the first tick has run
    int32_t SpriteX = 0;
    int32_t SpriteY = 0;
    int16_t ScreenWidthPx = 0;
    int16_t ScreenHeightPx = 0;
    int16_t HalfSpanX = 0;  // centre and amplitude of the path
    int16_t HalfSpanY = 0;
    int16_t PathClock = 0;
    int16_t PhaseX = 0;
    int16_t PhaseY = 0;
    int16_t ClockStep = 0;
    int16_t CurveKind = 0;  // 1 to 4: sine or cosine for x and y
    int16_t PeriodX = 0;
    int16_t PeriodY = 0;
    int16_t MouseMoveCount = 0;
};

// The screen as the runtime reports it: size in twips and the twips per pixel.
struct ScreenTwips {
    double width = 0, height = 0;
    double twipsPerPixelX = 15, twipsPerPixelY = 15;
};

// Screen size in pixels (the size in twips over the twips per pixel, to the nearest pixel) and the path's half
// spans. A size that does not fit its 16-bit field (or a factor that is not positive) leaves that field as it was;
// the half spans are computed from whatever it holds.
void SizeToScreen(DisplayState& s, const ScreenTwips& screen);

// A new scene's parameters, one random value each in a fixed order, and the path clock back at 0.
void DrawSceneParameters(DisplayState& s, RandomSource& random);

// One tick's next canvas, next path clock and the sprite's top-left pixel on the curve.
void AdvanceTick(DisplayState& s);

// True once the path clock has passed the scene's end.
bool SceneHasEnded(const DisplayState& s);

// Counts one mouse-move event; true for the one that ends the saver.
bool CountMouseMove(DisplayState& s);

// The ending that picks a music file's player: its last three characters upper-cased, the whole text when shorter.
std::wstring MusicExtension(const std::wstring& file);
inline constexpr wchar_t kWaveExtension[] = L"WAV";
inline constexpr wchar_t kMp3Extension[] = L"MP3";

}  // namespace orbi
