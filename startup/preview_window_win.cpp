#include "startup/preview_window_win.h"

#include <algorithm>

#include "platform/numbers.h"
#include "platform/resource_ids.h"
#include "platform/runtime_win.h"

namespace orbi {

namespace {
constexpr UINT kHostWatchMs = 500;
// The preview being watched: a thread timer's procedure gets no window to find it by.
PreviewWindow* watched = nullptr;
constexpr int kDesignWidthTwips = 2595;
constexpr int kDesignHeightTwips = 1935;
}  // namespace

PreviewWindow::~PreviewWindow() {
    if (watched == this) {
        KillTimer(nullptr, hostWatch_);
        watched = nullptr;
    }
}

bool PreviewWindow::Load() {
    picture_.LoadBitmapResource(ProgramInstance(), IDB_PREVIEW);
    imageW_ = picture_.width();
    imageH_ = picture_.height();
    const int w = static_cast<int>(RoundHalfEven(kDesignWidthTwips / TwipsPerPixelX()));
    const int h = static_cast<int>(RoundHalfEven(kDesignHeightTwips / TwipsPerPixelY()));
    return CreateWin(L"OrbimotionPreview", 0, 0, L"Preview Window", WS_POPUP | WS_CLIPSIBLINGS, 0, 0, w, h, nullptr);
}

void PreviewWindow::Place(double widthTwips, double heightTwips, double pictureWidthPx, double pictureHeightPx) {
    const int w = static_cast<int>(RoundHalfEven(widthTwips / TwipsPerPixelX()));
    const int h = static_cast<int>(RoundHalfEven(heightTwips / TwipsPerPixelY()));
    SetWindowPos(hwnd(), nullptr, 0, 0, w < 0 ? 0 : w, h < 0 ? 0 : h, SWP_NOZORDER | SWP_NOACTIVATE);
    imageW_ = static_cast<int>(RoundHalfEven(pictureWidthPx));
    imageH_ = static_cast<int>(RoundHalfEven(pictureHeightPx));
}

void PreviewWindow::Show() {
    ShowWindow(hwnd(), SW_SHOWNA);
    UpdateWindow(hwnd());
    // The host may go away without destroying its pane's children in this process (or never have been a
    // window): then no preview may linger unseen.
    if (!HostAlive()) {
        DestroyWindow(hwnd());
        return;
    }
    // A host that is killed takes its pane and, with it, this window and any timer set on it, without a
    // WM_DESTROY: the watch runs on the thread, which outlives both.
    watched = this;
    hostWatch_ = ::SetTimer(nullptr, 0, kHostWatchMs, &PreviewWindow::HostWatch_Timer);
}

void CALLBACK PreviewWindow::HostWatch_Timer(HWND, UINT, UINT_PTR, DWORD) {
    if (!watched || watched->HostAlive())
        return;
    PreviewWindow& self = *watched;
    KillTimer(nullptr, self.hostWatch_);
    watched = nullptr;
    if (IsWindow(self.hwnd()))
        DestroyWindow(self.hwnd());
    else
        PostQuitMessage(0);  // the window went with the host's pane and will send no WM_DESTROY
}

bool PreviewWindow::HostAlive() const {
    // GetParent answers 0 for a WS_POPUP | WS_CHILD window under Wine; the ancestor is the real parent.
    HWND parent = GetAncestor(hwnd(), GA_PARENT);
    return parent && parent != GetDesktopWindow() && IsWindow(parent);
}

void PreviewWindow::PaintContent(HDC dc) const {
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (!picture_.dc())
        return;
    // No stretching: the picture at its own size, cut off at the element's edges.
    const int w = std::min(imageW_, picture_.width());
    const int h = std::min(imageH_, picture_.height());
    if (w > 0 && h > 0)
        BitBlt(dc, 0, 0, w, h, picture_.dc(), 0, 0, SRCCOPY);
}

void PreviewWindow::Form_Unload() {
    p_.api.GetWindow(reinterpret_cast<Hwnd>(hwnd()), GW_OWNER);
    p_.ApiResult = p_.api.PostMessageA(reinterpret_cast<Hwnd>(hwnd()), WM_CLOSE, 0, 0);
}

LRESULT PreviewWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            Form_Unload();
            DestroyWindow(hwnd());
            return 0;
        case WM_DESTROY:
            // The preview is the process's only window: once it is gone, the program ends.
            PostQuitMessage(0);
            return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace orbi
