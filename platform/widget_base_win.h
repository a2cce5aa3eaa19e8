// What every widget of the runtime shares: fonts sized for the screen, twips turned into pixels, pictures shared
// between holders, mouse arguments as handlers receive them, caption text in its enabled or greyed look, and the
// windowless element the containers draw.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/font.h"
#include "platform/handles_win.h"
#include "platform/surface_win.h"

namespace orbi {

// The font at the screen's vertical resolution, as the runtime sizes fonts given in points.
UniqueFont MakeFont(const FontDesc& font);

// Twips to pixels on this screen, rounded halves to even.
int PixelsX(double twips);
int PixelsY(double twips);
RECT TwipsRect(double left, double top, double width, double height);

// A picture shared between holders: assigning one holder's picture to another shares it.
using Picture = std::shared_ptr<const BackingImage>;
Picture LoadPicture(HINSTANCE instance, int bitmapId);

// Mouse buttons as handlers receive them (1 left, 2 right, 4 middle) and the shift state (1 Shift, 2 Ctrl, 4 Alt).
using MouseHandler = std::function<void(int16_t button, int16_t shift, float x, float y)>;
int16_t ButtonOf(UINT mouseMessage);
// A press or release of the left, right or middle button; IsButtonDown: a press.
bool IsButtonMessage(UINT message);
bool IsButtonDown(UINT message);
int16_t ShiftState(WPARAM mouseKeys);

// Caption text in the selected font with a transparent background; disabled, it takes the platform's greyed look.
void DrawCaption(HDC dc, const std::wstring& text, const RECT& box, UINT format, bool enabled, COLORREF colour);

// A windowless element, drawn by its container over the container's retained image.
class Element {
  public:
    virtual ~Element() = default;
    virtual void Draw(HDC dc) const = 0;
    // Shapes are drawn but never receive the mouse.
    virtual bool TakesMouse() const { return true; }

    RECT rect{};
    bool visible = true;
    bool enabled = true;
    HCURSOR mousePointer = nullptr;
    MouseHandler MouseDown;
    std::function<void()> Click;  // left button pressed and released over the element
};

}  // namespace orbi
