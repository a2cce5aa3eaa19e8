#include "platform/image_element_win.h"

#include <algorithm>

namespace orbi {

void ImageElement::Draw(HDC dc) const {
    if (!visible || !picture || !picture->dc())
        return;
    const int w = std::min<int>(rect.right - rect.left, picture->width());
    const int h = std::min<int>(rect.bottom - rect.top, picture->height());
    if (w > 0 && h > 0)
        BitBlt(dc, rect.left, rect.top, w, h, picture->dc(), 0, 0, SRCCOPY);
}

}  // namespace orbi
