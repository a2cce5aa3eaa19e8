#include "display/monitor_covers_win.h"

#include <algorithm>

namespace orbi {

namespace {

bool SameRect(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

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

MonitorCover::MonitorCover(const Rect& area, const CoverInput& input) : input_(input), area_(area) {
    // Tool window: no button on the task bar; no caption, so the single-instance probe finds only the display.
    if (!CreateWin(L"OrbimotionCover", 0, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"", WS_POPUP, area.left, area.top,
                   area.right - area.left, area.bottom - area.top, nullptr))
        return;
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd());
}

void MonitorCover::Place(const Rect& area) {
    area_ = area;
    SetWindowPos(hwnd(), nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
        case WM_ACTIVATEAPP:
            if (!wParam)
                return Run(input_.foregroundLost);
            break;
        case WM_DISPLAYCHANGE:
            // Every top-level window hears of a change; the display window alone makes the covers follow it, so
            // that the monitors are read once per change.
            return 0;
    }
    return Default(message, wParam, lParam);
}

MonitorCovers::MonitorCovers(const std::vector<Rect>& areas, CoverInput input) : input_(std::move(input)) {
    Follow(areas);
}

void MonitorCovers::Follow(const std::vector<Rect>& areas) {
    std::vector<std::unique_ptr<MonitorCover>> old = std::move(covers_);
    covers_.clear();
    std::vector<std::unique_ptr<MonitorCover>> placed(areas.size());
    for (size_t i = 0; i < areas.size(); ++i) {
        const auto same = std::find_if(old.begin(), old.end(),
                                       [&](const auto& cover) { return cover && SameRect(cover->area(), areas[i]); });
        if (same != old.end())
            placed[i] = std::move(*same);
    }
    auto spare = old.begin();
    for (size_t i = 0; i < areas.size(); ++i) {
        if (placed[i])
            continue;
        spare = std::find_if(spare, old.end(), [](const auto& cover) { return cover != nullptr; });
        if (spare != old.end()) {
            placed[i] = std::move(*spare);
            placed[i]->Place(areas[i]);
        } else {
            placed[i] = std::make_unique<MonitorCover>(areas[i], input_);
        }
    }
    for (auto& cover : placed) {
        if (cover->hwnd())
            covers_.push_back(std::move(cover));
    }
    // The covers nobody needs any more go with `old`.
}

}  // namespace orbi
