#include "platform/widgets_win.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/numbers.h"
#include "platform/runtime_win.h"

namespace orbi {

namespace {

int16_t ShiftState(WPARAM keys) {
    return static_cast<int16_t>((keys & MK_SHIFT ? 1 : 0) | (keys & MK_CONTROL ? 2 : 0) |
                                (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

int16_t ButtonOf(UINT message) {
    switch (message) {
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

}  // namespace

UniqueFont MakeFont(const WidgetFont& font) {
    LOGFONTW lf{};
    lf.lfHeight = -static_cast<LONG>(RoundHalfEven(font.sizePt * (1440.0 / TwipsPerPixelY()) / 72.0));
    lf.lfWeight = font.weight;
    lf.lfUnderline = font.underline ? TRUE : FALSE;
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

// ---- Label, image, shape

void Label::SetCaption(const std::wstring& text) {
    caption_ = text;
    if (owner)
        InvalidateRect(owner, &rect, FALSE);
}

void Label::SetFont(const WidgetFont& font) {
    font_ = font;
    gdiFont_ = MakeFont(font);
}

void Label::Draw(HDC dc) const {
    if (!visible)
        return;
    RECT box = rect;
    if (border) {
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
        InflateRect(&box, -3, -2);
    }
    if (caption_.empty())
        return;
    const int saved = SaveDC(dc);
    if (gdiFont_)
        SelectObject(dc, gdiFont_.get());
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    UINT format = DT_NOPREFIX | (alignment == Align::Centre ? DT_CENTER : DT_LEFT);
    // A label one line high keeps its text on that line even when the text is longer than the label, rather than
    // breaking it onto a line nobody sees; taller labels wrap (long paths break between characters).
    if (box.bottom - box.top < 2 * tm.tmHeight)
        format |= DT_SINGLELINE | DT_NOCLIP;
    else
        format |= DT_WORDBREAK | DT_EDITCONTROL;
    const int length = static_cast<int>(caption_.size());
    if (enabled) {
        SetTextColor(dc, foreColor);
        DrawTextW(dc, caption_.c_str(), length, &box, format);
    } else {
        RECT light = box;
        OffsetRect(&light, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, caption_.c_str(), length, &light, format);
        SetTextColor(dc, GetSysColor(COLOR_3DSHADOW));
        DrawTextW(dc, caption_.c_str(), length, &box, format);
    }
    RestoreDC(dc, saved);
}

void ImageElement::Draw(HDC dc) const {
    if (!visible || !picture || !picture->dc())
        return;
    const int w = std::min<int>(rect.right - rect.left, picture->width());
    const int h = std::min<int>(rect.bottom - rect.top, picture->height());
    if (w > 0 && h > 0)
        BitBlt(dc, rect.left, rect.top, w, h, picture->dc(), 0, 0, SRCCOPY);
}

void ShapeRect::Draw(HDC dc) const {
    if (!visible)
        return;
    UniqueBrush brush(CreateSolidBrush(borderColor));
    if (brush)
        FrameRect(dc, &rect, brush.get());
}

// ---- Container

Element* Container::ElementAt(POINT at) const {
    for (auto it = elements_.rbegin(); it != elements_.rend(); ++it) {
        Element* e = *it;
        if (e->visible && e->TakesMouse() && PtInRect(&e->rect, at))
            return e;
    }
    return nullptr;
}

void Container::PaintContent(HDC dc) const {
    if (image_.dc()) {
        image_.CopyTo(dc, 0, 0);
    } else {
        RECT client{};
        GetClientRect(hwnd(), &client);
        UniqueBrush brush(CreateSolidBrush(backColor));
        FillRect(dc, &client, brush.get());
    }
    for (const Element* e : elements_)
        e->Draw(dc);
}

void Container::Refresh() {
    if (hwnd())
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

int Container::ScaleWidth() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    return r.right;
}

int Container::ScaleHeight() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    return r.bottom;
}

int Container::Width() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return r.right - r.left;
}

int Container::Height() const {
    RECT r{};
    GetWindowRect(hwnd(), &r);
    return r.bottom - r.top;
}

void Container::ResizeImage(int width, int height) {
    if (width == image_.width() && height == image_.height())
        return;
    // What was drawn stays where it was; new area shows the background colour.
    BackingImage next;
    if (next.Resize(width, height)) {
        next.Clear(backColor);
        if (image_.dc())
            image_.CopyTo(next.dc(), 0, 0);
    }
    image_.Resize(width, height);
    if (image_.dc()) {
        if (next.dc())
            next.CopyTo(image_.dc(), 0, 0);
        else
            image_.Clear(backColor);
    }
}

void Container::FitImage() {
    const int w = ScaleWidth(), h = ScaleHeight();
    if (w > 0 && h > 0 && (w != image_.width() || h != image_.height())) {
        ResizeImage(w, h);
        OnResize();
    }
}

void Container::MouseButton(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const int16_t button = ButtonOf(message);
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
    Element* e = ElementAt(at);
    if (down) {
        if (button == 1) {
            pressed_ = e;
            if (e)
                SetCapture(hwnd());
        }
        if (e && e->enabled && e->MouseDown) {
            const MouseHandler handler = e->MouseDown;  // the handler may replace the element's handlers
            handler(button, ShiftState(wParam), static_cast<float>(at.x - e->rect.left),
                    static_cast<float>(at.y - e->rect.top));
        }
        return;
    }
    if (button != 1)
        return;
    Element* pressed = pressed_;
    pressed_ = nullptr;
    if (GetCapture() == hwnd())
        ReleaseCapture();  // before Click: its handler may open another window
    if (pressed && pressed == e && e->enabled && e->Click) {
        const std::function<void()> click = e->Click;
        click();
    }
}

LRESULT Container::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT painted = 0;
    if (HandlePaintMessage(message, wParam, painted))
        return painted;
    switch (message) {
        case WM_SIZE: {
            const int w = LOWORD(lParam), h = HIWORD(lParam);
            if (w > 0 && h > 0) {
                ResizeImage(w, h);
                OnResize();
            }
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                if (ScreenPointerIsHourglass()) {
                    SetCursor(LoadCursor(nullptr, IDC_WAIT));
                    return TRUE;
                }
                POINT at{};
                GetCursorPos(&at);
                ScreenToClient(hwnd(), &at);
                Element* e = ElementAt(at);
                if (reinterpret_cast<HWND>(wParam) == hwnd() && e && e->mousePointer) {
                    SetCursor(e->mousePointer);
                    return TRUE;
                }
            }
            break;
        case WM_HSCROLL:
            for (HScrollBar* bar : scrollBars_) {
                if (bar->hwnd() && bar->hwnd() == reinterpret_cast<HWND>(lParam)) {
                    bar->OnScroll(LOWORD(wParam));
                    return 0;
                }
            }
            break;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lParam) != hwnd())
                pressed_ = nullptr;
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            MouseButton(message, wParam, lParam);
            return 0;
    }
    return Default(message, wParam, lParam);
}

bool PictureBox::Create(HWND parent, const RECT& rect, bool border, COLORREF background) {
    backColor = background;
    if (!CreateWin(L"OrbimotionPicture", 0, border ? WS_EX_CLIENTEDGE : 0, L"",
                   WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left, rect.top,
                   rect.right - rect.left, rect.bottom - rect.top, parent))
        return false;
    FitImage();
    return true;
}

// ---- HScrollBar

HScrollBar::~HScrollBar() {
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

bool HScrollBar::Create(HWND parent, const RECT& rect) {
    hwnd_ = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    SetRange(min_, max_);
    return hwnd_ != nullptr;
}

void HScrollBar::SetRange(int16_t min, int16_t max) {
    min_ = min;
    max_ = max;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    if (hwnd_) {
        SetScrollRange(hwnd_, SB_CTL, min_, max_, FALSE);
        SetScrollPos(hwnd_, SB_CTL, value_, TRUE);
    }
}

bool HScrollBar::SetValue(int16_t value) {
    if (value < std::min(min_, max_) || value > std::max(min_, max_))
        return false;
    const bool changed = value != value_;
    value_ = value;
    if (hwnd_)
        SetScrollPos(hwnd_, SB_CTL, value_, TRUE);
    if (changed && Change)
        Change();
    return true;
}

void HScrollBar::OnScroll(int code) {
    int next = value_;
    switch (code) {
        case SB_LINELEFT:
            next -= smallChange;
            break;
        case SB_LINERIGHT:
            next += smallChange;
            break;
        case SB_PAGELEFT:
            next -= largeChange;
            break;
        case SB_PAGERIGHT:
            next += largeChange;
            break;
        case SB_LEFT:
            next = min_;
            break;
        case SB_RIGHT:
            next = max_;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{};
            si.cbSize = sizeof si;
            si.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(hwnd_, SB_CTL, &si))
                next = si.nTrackPos;
            break;
        }
        default:
            return;
    }
    next = std::clamp(next, static_cast<int>(std::min(min_, max_)), static_cast<int>(std::max(min_, max_)));
    SetValue(static_cast<int16_t>(next));
}

// ---- ComboBox

ComboBox::~ComboBox() {
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

bool ComboBox::Create(HWND parent, const RECT& rect, int listHeight, const WidgetFont& font) {
    // Auto-scrolling text: the user may type more than the field shows.
    hwnd_ = CreateWindowExW(0, L"COMBOBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, rect.left,
                            rect.top, rect.right - rect.left, rect.bottom - rect.top + listHeight, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_)
        return false;
    font_ = MakeFont(font);
    if (font_)
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    return true;
}

void ComboBox::AddItem(const std::wstring& item) {
    if (hwnd_)
        SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ComboBox::ListCount() const {
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0)) : 0;
}

std::wstring ComboBox::List(int index) const {
    if (!hwnd_)
        return std::wstring();
    const LRESULT length = SendMessageW(hwnd_, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(hwnd_, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
}

std::wstring ComboBox::Text() const {
    if (!hwnd_)
        return std::wstring();
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

void ComboBox::SetText(const std::wstring& text) {
    if (hwnd_)
        SetWindowTextW(hwnd_, text.c_str());
}

bool ComboBox::Enabled() const {
    return hwnd_ && IsWindowEnabled(hwnd_);
}

void ComboBox::SetEnabled(bool enabled) {
    if (hwnd_)
        EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

}  // namespace orbi
