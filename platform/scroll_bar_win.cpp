#include "platform/scroll_bar_win.h"

#include <algorithm>

namespace orbi {

bool HScrollBar::Create(HWND parent, const RECT& rect) {
    window_.reset(CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_HORZ, rect.left,
                                  rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    SetRange(min_, max_);
    return static_cast<bool>(window_);
}

void HScrollBar::SetRange(int16_t min, int16_t max) {
    min_ = min;
    max_ = max;
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    if (window_) {
        SetScrollRange(window_.get(), SB_CTL, min_, max_, FALSE);
        SetScrollPos(window_.get(), SB_CTL, value_, TRUE);
    }
}

bool HScrollBar::SetValue(int16_t value) {
    if (value < std::min(min_, max_) || value > std::max(min_, max_))
        return false;
    const bool changed = value != value_;
    value_ = value;
    if (window_)
        SetScrollPos(window_.get(), SB_CTL, value_, TRUE);
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
            if (GetScrollInfo(window_.get(), SB_CTL, &si))
                next = si.nTrackPos;
            break;
        }
        default:
            return;
    }
    next = std::clamp(next, static_cast<int>(std::min(min_, max_)), static_cast<int>(std::max(min_, max_)));
    SetValue(static_cast<int16_t>(next));
}

}  // namespace orbi
