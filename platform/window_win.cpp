#include "platform/window_win.h"

#include "platform/handles_win.h"

namespace orbi {

Window::~Window() {
    if (hwnd_) {
        // Detach first: messages sent while destroying must not reach a half-destroyed object.
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        HWND h = hwnd_;
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
}

bool Window::CreateWin(const wchar_t* className,
                       DWORD classStyle,
                       DWORD exStyle,
                       const std::wstring& title,
                       DWORD style,
                       int x,
                       int y,
                       int width,
                       int height,
                       HWND parent,
                       HICON icon,
                       HCURSOR cursor) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!GetClassInfoExW(instance, className, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = classStyle;
        wc.lpfnWndProc = &Window::Procedure;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = className;
        if (!RegisterClassExW(&wc))
            return false;
    }
    return CreateWindowExW(exStyle, className, title.c_str(), style, x, y, width, height, parent, nullptr, instance,
                           this) != nullptr;
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        if (message == WM_TIMER) {
            auto it = self->timers_.find(wParam);
            if (it != self->timers_.end() && it->second.enabled) {
                self->OnTimer(wParam);
                return 0;
            }
        }
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A failing handler step is skipped silently; the program goes on with the next event.
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool Window::HandlePaintMessage(UINT message, WPARAM wParam, LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT: {
            PaintGuard paint(hwnd_);
            PaintContent(paint.dc());
            result = 0;
            return true;
        }
        case WM_PRINTCLIENT:
            PaintContent(reinterpret_cast<HDC>(wParam));
            result = 0;
            return true;
    }
    return false;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT painted = 0;
    if (HandlePaintMessage(message, wParam, painted))
        return painted;
    return Default(message, wParam, lParam);
}

void Window::SetTimer(UINT_PTR id, UINT interval, bool enabled) {
    TimerState& t = timers_[id];
    t.interval = interval;
    EnableTimer(id, enabled);
}

void Window::EnableTimer(UINT_PTR id, bool enabled) {
    TimerState& t = timers_[id];
    t.enabled = enabled;
    if (!hwnd_)
        return;
    if (enabled && t.interval > 0)
        ::SetTimer(hwnd_, id, t.interval, nullptr);
    else
        ::KillTimer(hwnd_, id);
}

bool Window::TimerEnabled(UINT_PTR id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second.enabled;
}

UINT Window::TimerInterval(UINT_PTR id) const {
    auto it = timers_.find(id);
    return it == timers_.end() ? 0 : it->second.interval;
}

}  // namespace orbi
