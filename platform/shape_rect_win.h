// A windowless rectangle outline, no fill; it never takes the mouse.
#pragma once

#include "platform/widget_base_win.h"

namespace orbi {

class ShapeRect : public Element {
  public:
    void Draw(HDC dc) const override;
    bool TakesMouse() const override { return false; }
    COLORREF borderColor = RGB(0, 0, 0);
};

}  // namespace orbi
