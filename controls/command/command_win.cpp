#include "controls/command/command_win.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/numbers.h"
#include "platform/resource_ids.h"
#include "platform/runtime_win.h"
#include "platform/widget_base_win.h"

namespace orbi {

namespace {

constexpr UINT kTmrMouseMs = 100;
constexpr WPARAM kAnyButton = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// Colours with the high bit set name a system colour, as the widget runtime allows for text colours.
COLORREF ToColorRef(uint32_t colour) {
    if (colour & 0x80000000u)
        return GetSysColor(static_cast<int>(colour & 0xFF));
    return colour & 0xFFFFFF;
}

int16_t ButtonsHeld(WPARAM keys) {
    return static_cast<int16_t>((keys & MK_LBUTTON ? kLeftButton : 0) | (keys & MK_RBUTTON ? kRightButton : 0) |
                                (keys & MK_MBUTTON ? kMiddleButton : 0));
}

}  // namespace

Command::Command(Program& p) : p_(p), core_(*this) {}

Command::~Command() = default;

bool Command::Create(HWND parent,
                     int x,
                     int y,
                     int width,
                     int height,
                     const PropertyStore& stored,
                     const FontDesc& ambientFont) {
    ambient_ = ambientFont;
    for (int i = 0; i < kFaceCount; ++i)
        faces_[i].LoadBitmapResource(ProgramInstance(), IDB_FACE_NORMAL + i);
    SetTimer(kTmrMouse, kTmrMouseMs, false);
    // Hidden until loaded, so the Disable face of a not yet loaded control never reaches the screen.
    if (!CreateWin(L"OrbimotionCommand", 0, 0, L"", WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS, x, y, width, height,
                   parent))
        return false;
    // The first size comes before the stored properties, as when the container places a loaded control.
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (surface_.width() != client.right || surface_.height() != client.bottom) {
        surface_.Resize(client.right, client.bottom);
        core_.UserControl_Resize();
    }
    core_.UserControl_ReadProperties(stored, ambient_);
    ShowWindow(hwnd(), SW_SHOWNA);
    return true;
}

void Command::Initialize() {
    core_.Initialize();
    SetTimer(kTmrMouse, kTmrMouseMs, true);
}

void Command::PaintFace(Face face, int16_t invertGradient) {
    ++facesPainted_;
    HDC dc = surface_.dc();
    if (!dc)
        return;
    geometry_.Update(surface_.width() * TwipsPerPixelX(), surface_.height() * TwipsPerPixelY());
    surface_.Clear(GetSysColor(COLOR_BTNFACE));
    try {
        DrawGradient(dc, invertGradient);
    } catch (...) {
        // The rest of the gradient is abandoned; the border still gets painted.
    }
    const BackingImage& picture = faces_[static_cast<int>(face)];
    if (picture.dc()) {
        SetStretchBltMode(dc, COLORONCOLOR);
        const int pictureW = picture.width() * kPictureTwipsPerPixel;
        const int pictureH = picture.height() * kPictureTwipsPerPixel;
        for (const Piece& piece : geometry_.Pieces()) {
            int srcW = piece.srcW, srcH = piece.srcH;
            int dstW = piece.dstW, dstH = piece.dstH;
            if (piece.natural) {
                // What lies beyond the picture draws nothing.
                srcW = dstW = std::min(srcW, pictureW - piece.srcX);
                srcH = dstH = std::min(srcH, pictureH - piece.srcY);
            }
            const int x0 = PixelsX(piece.dstX), x1 = PixelsX(piece.dstX + dstW);
            const int y0 = PixelsY(piece.dstY), y1 = PixelsY(piece.dstY + dstH);
            const int sx = piece.srcX / kPictureTwipsPerPixel, sy = piece.srcY / kPictureTwipsPerPixel;
            const int sw = srcW / kPictureTwipsPerPixel, sh = srcH / kPictureTwipsPerPixel;
            // A control narrower or lower than two bands leaves its edges out rather than mirroring them.
            if (x1 <= x0 || y1 <= y0 || sw <= 0 || sh <= 0)
                continue;
            if (x1 - x0 == sw && y1 - y0 == sh)
                BitBlt(dc, x0, y0, sw, sh, picture.dc(), sx, sy, SRCCOPY);
            else
                StretchBlt(dc, x0, y0, x1 - x0, y1 - y0, picture.dc(), sx, sy, sw, sh, SRCCOPY);
        }
    }
    if (hwnd())
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Command::DrawGradient(HDC dc, int16_t invertGradient) const {
    const Rgb16 white = ColourComponents(kGradientWhite);
    const Rgb16 accent = ColourComponents(kGradientAccent);
    const Rgb16& top = invertGradient ? accent : white;
    const Rgb16& bottom = invertGradient ? white : accent;
    TRIVERTEX vertex[3]{};
    vertex[0] = {0, 0, top.red, top.green, top.blue, 0};
    vertex[1] = {static_cast<LONG>(RoundHalfEven(surface_.width() - 1.0)),
                 static_cast<LONG>(RoundHalfEven(surface_.height() - 1.0)),
                 bottom.red,
                 bottom.green,
                 bottom.blue,
                 0};
    GRADIENT_RECT rect{1, 0};
    // gdi32's own entry: msimg32's GradientFill only forwards to it, and msimg32 is not one of the KnownDLLs, which
    // the system would look for in the program's folder first.
    GdiGradientFill(dc, vertex, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

RECT Command::LabelRect() const {
    const double top = geometry_.LabelTop();
    return RECT{0, PixelsY(top), surface_.width(), PixelsY(top + kLabelHeight)};
}

void Command::DrawLabel(HDC dc) const {
    const CommandProperties& props = core_.Properties();
    if (props.Caption.empty())
        return;
    if (!labelFont_ || labelFontDesc_ != props.Font) {
        labelFont_ = MakeFont(props.Font);
        labelFontDesc_ = props.Font;
    }
    const int saved = SaveDC(dc);
    SelectGuard font(dc, labelFont_ ? static_cast<HGDIOBJ>(labelFont_.get()) : GetStockObject(DEFAULT_GUI_FONT));
    DrawCaption(dc, props.Caption, LabelRect(), DT_CENTER | DT_TOP | DT_WORDBREAK, props.LabelEnabled,
                ToColorRef(props.FontColour));
    RestoreDC(dc, saved);
}

void Command::PaintContent(HDC dc) const {
    if (core_.Properties().BackStyle != 0) {
        surface_.CopyTo(dc, 0, 0);
    } else if (HWND parent = GetParent(hwnd())) {
        // Transparent: the container's own picture shows through.
        POINT origin{0, 0};
        MapWindowPoints(hwnd(), parent, &origin, 1);
        POINT old{};
        OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
        SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SetViewportOrgEx(dc, old.x, old.y, nullptr);
    }
    DrawLabel(dc);
}

void Command::LabelChanged() {
    if (hwnd())
        InvalidateRect(hwnd(), nullptr, FALSE);
}

void Command::RaiseClick() {
    // A copy: the container's handler may destroy this control.
    auto click = Click;
    if (click)
        click();
}

void Command::MarkChanged(const wchar_t* name) {
    if (PropertyChanged)
        PropertyChanged(name);
}

void Command::Mouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int16_t shift = ShiftState(wParam);
    const float x = static_cast<float>(at.x * TwipsPerPixelX());
    const float y = static_cast<float>(at.y * TwipsPerPixelY());
    const RECT label = LabelRect();
    // A disabled label passes its mouse events to the control beneath.
    const bool onLabel = core_.Properties().LabelEnabled && PtInRect(&label, at);

    if (message == WM_MOUSEMOVE) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        // While captured, moves outside arrive too; they are not moves over the button.
        if (!PtInRect(&client, at))
            return;
        const int16_t held = ButtonsHeld(wParam);
        onLabel ? core_.LblMsg_MouseMove(held, shift, x, y) : core_.UserControl_MouseMove(held, shift, x, y);
        return;
    }

    const int16_t button = ButtonOf(message);
    if (IsButtonDown(message)) {
        // Focus first, then the press: the face left on screen is Pressed in every state.
        if (button == kLeftButton && GetFocus() != hwnd())
            SetFocus(hwnd());
        pressed_ |= button;
        SetCapture(hwnd());
        onLabel ? core_.LblMsg_MouseDown(button, shift, x, y) : core_.UserControl_MouseDown(button, shift, x, y);
        return;
    }

    // A release belongs to the control only when the press started on it.
    if (!(pressed_ & button))
        return;
    pressed_ &= static_cast<int16_t>(~button);
    if (!(wParam & kAnyButton) && GetCapture() == hwnd())
        ReleaseCapture();  // before Click: its handler may open a modal dialog
    onLabel ? core_.LblMsg_MouseUp(button, shift, x, y) : core_.UserControl_MouseUp(button, shift, x, y);
}

void Command::OnTimer(UINT_PTR id) {
    if (id != kTmrMouse)
        return;
    const Hwnd self = reinterpret_cast<Hwnd>(hwnd());
    const Hwnd form = reinterpret_cast<Hwnd>(GetAncestor(hwnd(), GA_ROOT));
    core_.TmrMouse_Timer(CursorOverControl(p_.api, self, form));
}

LRESULT Command::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            surface_.Resize(LOWORD(lParam), HIWORD(lParam));
            core_.UserControl_Resize();
            return 0;
        case WM_SETFOCUS:
            core_.UserControl_GotFocus();
            return 0;
        case WM_KILLFOCUS:
            core_.UserControl_LostFocus();
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd())
                pressed_ = 0;
            return 0;
    }
    if (message == WM_MOUSEMOVE || IsButtonMessage(message)) {
        Mouse(message, wParam, lParam);
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace orbi
