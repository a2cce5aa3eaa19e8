#include "platform/container_win.h"

#include <windowsx.h>

#include "platform/runtime_win.h"
#include "platform/scroll_bar_win.h"

namespace orbi {

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
    const bool down = IsButtonDown(message);
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
    }
    if (IsButtonMessage(message)) {
        MouseButton(message, wParam, lParam);
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
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

}  // namespace orbi
