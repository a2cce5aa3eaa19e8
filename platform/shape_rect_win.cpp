#include "platform/shape_rect_win.h"

namespace orbi {

void ShapeRect::Draw(HDC dc) const {
    if (!visible)
        return;
    UniqueBrush brush(CreateSolidBrush(borderColor));
    if (brush)
        FrameRect(dc, &rect, brush.get());
}

}  // namespace orbi
