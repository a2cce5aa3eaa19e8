// Windows with a retained image that carry windowless elements: the form and its picture boxes.
// Positions and sizes are pixels relative to the container's client area.
#pragma once

#include <vector>

#include "platform/widget_base_win.h"
#include "platform/window_win.h"

namespace orbi {

class HScrollBar;

// A window with a retained image (cleared to the background colour, kept across repaints) and the windowless
// elements on it, front-most last.
class Container : public Window {
  public:
    BackingImage& Image() { return image_; }
    const BackingImage& Image() const { return image_; }
    COLORREF backColor = RGB(0xC0, 0xC0, 0xC0);
    FontDesc font;  // the ambient font of the controls placed on it

    void AddElement(Element* element) { elements_.push_back(element); }
    void AddScrollBar(HScrollBar* bar) { scrollBars_.push_back(bar); }
    // The front-most element under the point that takes the mouse, or null.
    Element* ElementAt(POINT at) const;
    // Draws the retained image and the elements over it.
    void PaintContent(HDC dc) const override;
    void Refresh();
    // Inner size in pixels, and outer size in the parent's pixels.
    int ScaleWidth() const;
    int ScaleHeight() const;
    int Width() const;
    int Height() const;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The window got a new inner size; the retained image has already followed it.
    virtual void OnResize() {}
    // Gives the retained image the window's inner size, should creation not have reported a size.
    void FitImage();

  private:
    void ResizeImage(int width, int height);
    void MouseButton(UINT message, WPARAM wParam, LPARAM lParam);
    BackingImage image_;
    std::vector<Element*> elements_;
    std::vector<HScrollBar*> scrollBars_;
    Element* pressed_ = nullptr;  // element under a left press, for Click
};

class PictureBox : public Container {
  public:
    // A child window at rect of parent; border is the fixed single (sunken) border.
    bool Create(HWND parent, const RECT& rect, bool border, COLORREF background);
};

}  // namespace orbi
