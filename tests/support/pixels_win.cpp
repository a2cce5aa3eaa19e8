#include "support/pixels_win.h"

namespace orbi::test {

std::vector<uint32_t> Pixels(const BackingImage& image) {
    GdiFlush();
    std::vector<uint32_t> px(image.bits(), image.bits() + static_cast<size_t>(image.width()) * image.height());
    for (uint32_t& c : px)
        c &= 0xFFFFFF;
    return px;
}

std::vector<uint32_t> ScreenPixels(const RECT& area) {
    BackingImage shot;
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (!shot.Resize(w, h))
        return {};
    HDC screen = GetDC(nullptr);
    BitBlt(shot.dc(), 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return Pixels(shot);
}

}  // namespace orbi::test
