// The system's horizontal scroll bar as a widget: a range, small and large steps, and a value that refuses
// anything outside the range.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "platform/handles_win.h"

namespace orbi {

class HScrollBar {
  public:
    bool Create(HWND parent, const RECT& rect);
    HWND hwnd() const { return window_.get(); }
    void SetRange(int16_t min, int16_t max);
    int16_t smallChange = 1;
    int16_t largeChange = 1;
    int16_t Value() const { return value_; }
    // Refuses a value outside Min..Max: false, and nothing changes.
    bool SetValue(int16_t value);
    std::function<void()> Change;
    // A WM_HSCROLL notification of this bar.
    void OnScroll(int code);

  private:
    UniqueWindow window_;
    int16_t min_ = 0, max_ = 32767, value_ = 0;
};

}  // namespace orbi
