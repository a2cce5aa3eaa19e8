#include "display/monitor_covers_win.h"

namespace orbi {

namespace {

// A handler may destroy the cover it was called from (the saver's end): run a copy, touch nothing after it.
LRESULT Run(std::function<void()> handler) {
    if (handler)
        handler();
    return 0;
}

}  // namespace

std::vector<MonitorArea> SystemMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) {
                const RECT& r = info.rcMonitor;
                reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(
                    MonitorArea{Rect{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

MonitorCover::MonitorCover(const Rect& area, const CoverInput& input) : input_(input) {
    // Tool window: no button on the task bar; no caption, so the single-instance probe finds only the display.
    if (!CreateWin(L"OrbimotionCover", 0, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", WS_POPUP, area.left, area.top,
                   area.right - area.left, area.bottom - area.top, nullptr))
        return;
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd());
}

void MonitorCover::PaintContent(HDC dc) const {
    RECT client{};
    GetClientRect(hwnd(), &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

LRESULT MonitorCover::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT painted = 0;
    if (HandlePaintMessage(message, wParam, painted))
        return painted;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return Run(input_.mouseDown);
        case WM_XBUTTONDOWN:
            Run(input_.mouseDown);
            return TRUE;
        case WM_MOUSEMOVE:
            return Run(input_.mouseMove);
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return Run(input_.keyDown);
        case WM_CLOSE:
            return Run(input_.close);
        case WM_QUERYENDSESSION:
            Run(input_.close);
            return TRUE;
        case WM_DISPLAYCHANGE:
            // Monitors come, go or change size: the covers stay where they were put at the start.
            return 0;
    }
    return Default(message, wParam, lParam);
}

MonitorCovers::MonitorCovers(const std::vector<Rect>& areas, CoverInput input) : input_(std::move(input)) {
    for (const Rect& area : areas) {
        auto cover = std::make_unique<MonitorCover>(area, input_);
        if (cover->hwnd())
            covers_.push_back(std::move(cover));
    }
}

}  // namespace orbi
