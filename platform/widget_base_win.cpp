#include "platform/widget_base_win.h"

#include "platform/numbers.h"
#include "platform/runtime_win.h"

namespace orbi {

UniqueFont MakeFont(const FontDesc& font) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(RoundHalfEven(font.sizePt * (1440.0 / TwipsPerPixelY()) / 72.0));
    lf.lfWeight = font.weight;
    lf.lfItalic = font.italic ? TRUE : FALSE;
    lf.lfUnderline = font.underline ? TRUE : FALSE;
    lf.lfStrikeOut = font.strikethrough ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(font.charset);
    font.face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectW(&lf));
}

int PixelsX(double twips) {
    return static_cast<int>(RoundHalfEven(twips / TwipsPerPixelX()));
}

int PixelsY(double twips) {
    return static_cast<int>(RoundHalfEven(twips / TwipsPerPixelY()));
}

RECT TwipsRect(double left, double top, double width, double height) {
    const int x = PixelsX(left), y = PixelsY(top);
    return RECT{x, y, x + PixelsX(width), y + PixelsY(height)};
}

Picture LoadPicture(HINSTANCE instance, int bitmapId) {
    auto image = std::make_shared<BackingImage>();
    if (!image->LoadBitmapResource(instance, bitmapId))
        return nullptr;
    return image;
}

int16_t ButtonOf(UINT mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 2;
        default:
            return 4;
    }
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

bool IsButtonMessage(UINT message) {
    return IsButtonDown(message) || message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP;
}

int16_t ShiftState(WPARAM mouseKeys) {
    // Mouse messages carry Shift and Ctrl but not Alt.
    return static_cast<int16_t>((mouseKeys & MK_SHIFT ? 1 : 0) | (mouseKeys & MK_CONTROL ? 2 : 0) |
                                (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

void DrawCaption(HDC dc, const std::wstring& text, const RECT& box, UINT format, bool enabled, COLORREF colour) {
    SetBkMode(dc, TRANSPARENT);
    const int length = static_cast<int>(text.size());
    RECT at = box;
    if (enabled) {
        SetTextColor(dc, colour);
        DrawTextW(dc, text.c_str(), length, &at, format);
        return;
    }
    // A light copy one pixel down and right under a shadow-grey one.
    RECT light = box;
    OffsetRect(&light, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextW(dc, text.c_str(), length, &light, format);
    SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
    DrawTextW(dc, text.c_str(), length, &at, format);
}

}  // namespace orbi
