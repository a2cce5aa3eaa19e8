// Owned Windows handles as move-only objects, scope guards for selections and painting, and a count of the live
// GDI objects the program owns (GetGuiResources cannot count them under Wine).
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

namespace orbi {

// Live GDI objects and memory DCs created through the wrappers below; the soak checks and the benchmark read the
// count to show that nothing leaks.
long LiveGdiObjects();
void CountGdiCreated();
void CountGdiDeleted();

template <typename H, typename Traits>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {
        if (h_)
            Traits::Created();
    }
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    // A move hands the handle from one wrapper to another: it stays counted as live.
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    H get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    void reset(H h = nullptr) {
        if (h_)
            Traits::Close(h_);
        h_ = h;
        if (h_)
            Traits::Created();
    }
    // Gives up ownership without closing: the caller now owns the handle.
    H release() {
        H h = h_;
        h_ = nullptr;
        if (h)
            Traits::Released();
        return h;
    }

  private:
    H h_ = nullptr;
};

struct GdiTraits {
    static void Close(HGDIOBJ h) {
        DeleteObject(h);
        CountGdiDeleted();
    }
    static void Created() { CountGdiCreated(); }
    static void Released() { CountGdiDeleted(); }
};

// A memory DC is counted like the objects it holds but deleted its own way.
struct DcTraits : GdiTraits {
    static void Close(HDC h) {
        DeleteDC(h);
        CountGdiDeleted();
    }
};

struct WindowTraits {
    static void Close(HWND h) {
        if (IsWindow(h))
            DestroyWindow(h);
    }
    static void Created() {}
    static void Released() {}
};

using UniqueBitmap = UniqueHandle<HBITMAP, GdiTraits>;
using UniqueFont = UniqueHandle<HFONT, GdiTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits>;
using UniquePen = UniqueHandle<HPEN, GdiTraits>;
using UniqueMemoryDc = UniqueHandle<HDC, DcTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;

// Selects an object into a DC for the scope and restores what it replaced.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint / EndPaint; the DC is borrowed and must not be deleted.
class PaintGuard {
  public:
    explicit PaintGuard(HWND window) : window_(window) { dc_ = BeginPaint(window, &ps_); }
    ~PaintGuard() { EndPaint(window_, &ps_); }
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

}  // namespace orbi
