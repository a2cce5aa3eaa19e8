// A retained image: an off-screen 32-bit DIB section selected into its own memory DC. What is drawn on it stays
// until it is cleared; windows repaint from it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/handles_win.h"

namespace orbi {

class BackingImage {
  public:
    BackingImage() = default;
    BackingImage(const BackingImage&) = delete;
    BackingImage& operator=(const BackingImage&) = delete;
    ~BackingImage();

    // A new black image of the given size; a size below 1 gives an empty image without a DC.
    bool Resize(int width, int height);
    void Clear(COLORREF colour);
    // Replaces the image with a bitmap resource, at the bitmap's own size.
    bool LoadBitmapResource(HINSTANCE instance, int id);
    // Copies the image to dc at (x, y), cut to the image's size.
    void CopyTo(HDC dc, int x, int y) const;

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Top-down rows of 0x00RRGGBB pixels, or null for an empty image, and one pixel. The program only draws;
    // these let the soak checks and the benchmark read what was drawn without a DC of their own.
    uint32_t* bits() const { return bits_; }
    COLORREF PixelAt(int x, int y) const;

  private:
    void Release();
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ original_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace orbi
