// A windowless image: its picture at the picture's own size from the top-left corner, cut at the element's edges.
#pragma once

#include "platform/widget_base_win.h"

namespace orbi {

class ImageElement : public Element {
  public:
    void Draw(HDC dc) const override;
    Picture picture;
};

}  // namespace orbi
