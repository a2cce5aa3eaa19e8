#include "platform/surface_win.h"

namespace orbi {

BackingImage::~BackingImage() {
    Release();
}

void BackingImage::Release() {
    // The bitmap must leave the DC before either is deleted.
    if (dc_ && original_)
        SelectObject(dc_.get(), original_);
    original_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

bool BackingImage::Resize(int width, int height) {
    Release();
    if (width < 1 || height < 1)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits)
        return false;
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    if (!dc)
        return false;
    original_ = SelectObject(dc.get(), bitmap.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bitmap);
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;  // a new DIB section is zero-filled: black
}

void BackingImage::Clear(COLORREF colour) {
    if (!bits_)
        return;
    GdiFlush();
    const uint32_t pixel = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    const size_t count = static_cast<size_t>(width_) * height_;
    for (size_t i = 0; i < count; ++i)
        bits_[i] = pixel;
}

bool BackingImage::LoadBitmapResource(HINSTANCE instance, int id) {
    UniqueBitmap source(
        static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!source)
        return false;
    BITMAP bm{};
    if (!GetObjectW(source.get(), sizeof bm, &bm))
        return false;
    if (!Resize(bm.bmWidth, bm.bmHeight))
        return false;
    UniqueMemoryDc sourceDc(CreateCompatibleDC(nullptr));
    if (!sourceDc)
        return false;
    SelectGuard select(sourceDc.get(), source.get());
    return BitBlt(dc_.get(), 0, 0, width_, height_, sourceDc.get(), 0, 0, SRCCOPY) != FALSE;
}

void BackingImage::CopyTo(HDC dc, int x, int y) const {
    if (dc_)
        BitBlt(dc, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

COLORREF BackingImage::PixelAt(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    GdiFlush();
    uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

}  // namespace orbi
