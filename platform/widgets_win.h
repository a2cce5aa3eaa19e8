// The widgets the settings dialog is built from: surfaces with a retained image (the form and its picture boxes)
// carrying windowless labels, images and rectangle shapes, plus the system's scroll bar and combo box.
// Positions and sizes are pixels relative to the container's client area.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles_win.h"
#include "platform/surface_win.h"
#include "platform/window_win.h"

namespace orbi {

struct WidgetFont {
    std::wstring face;
    double sizePt = 9.0;
    int weight = FW_NORMAL;
    int charset = DEFAULT_CHARSET;
    bool underline = false;
};
// The font at the screen's vertical resolution, as the runtime sizes fonts given in points.
UniqueFont MakeFont(const WidgetFont& font);

// Twips to pixels on this screen, rounded halves to even.
int PixelsX(double twips);
int PixelsY(double twips);
RECT TwipsRect(double left, double top, double width, double height);

// A picture shared between holders: assigning one holder's picture to another shares it.
using Picture = std::shared_ptr<const BackingImage>;
Picture LoadPicture(HINSTANCE instance, int bitmapId);

// Mouse buttons as handlers receive them (1 left, 2 right, 4 middle) and the shift state (1 Shift, 2 Ctrl, 4 Alt).
using MouseHandler = std::function<void(int16_t button, int16_t shift, float x, float y)>;

// A windowless element, drawn by its container over the container's retained image.
class Element {
  public:
    virtual ~Element() = default;
    virtual void Draw(HDC dc) const = 0;
    // Shapes are drawn but never receive the mouse.
    virtual bool TakesMouse() const { return true; }

    RECT rect{};
    bool visible = true;
    bool enabled = true;
    int tabIndex = -1;  // kept for the layout; windowless elements never take the focus
    HCURSOR mousePointer = nullptr;
    MouseHandler MouseDown;
    std::function<void()> Click;  // left button pressed and released over the element
};

class Label : public Element {
  public:
    enum class Align { Left, Centre };
    void Draw(HDC dc) const override;
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& text);
    void SetFont(const WidgetFont& font);
    const WidgetFont& Font() const { return font_; }

    COLORREF foreColor = RGB(0, 0, 0);
    Align alignment = Align::Left;
    bool border = false;   // fixed single border
    HWND owner = nullptr;  // the container, repainted when the caption changes

  private:
    std::wstring caption_;
    WidgetFont font_;
    UniqueFont gdiFont_;
};

// An image element: its picture at the picture's own size from the top-left corner, cut at the element's edges.
class ImageElement : public Element {
  public:
    void Draw(HDC dc) const override;
    Picture picture;
};

// A rectangle outline, no fill.
class ShapeRect : public Element {
  public:
    void Draw(HDC dc) const override;
    bool TakesMouse() const override { return false; }
    COLORREF borderColor = RGB(0, 0, 0);
};

class HScrollBar;

// A window with a retained image (cleared to the background colour, kept across repaints) and the windowless
// elements on it, front-most last.
class Container : public Window {
  public:
    BackingImage& Image() { return image_; }
    const BackingImage& Image() const { return image_; }
    COLORREF backColor = RGB(0xC0, 0xC0, 0xC0);
    WidgetFont font;  // the ambient font of the controls placed on it

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

class HScrollBar {
  public:
    HScrollBar() = default;
    HScrollBar(const HScrollBar&) = delete;
    HScrollBar& operator=(const HScrollBar&) = delete;
    ~HScrollBar();

    bool Create(HWND parent, const RECT& rect);
    HWND hwnd() const { return hwnd_; }
    void SetRange(int16_t min, int16_t max);
    int16_t Min() const { return min_; }
    int16_t Max() const { return max_; }
    int16_t smallChange = 1;
    int16_t largeChange = 1;
    int16_t Value() const { return value_; }
    // Refuses a value outside Min..Max: false, and nothing changes.
    bool SetValue(int16_t value);
    std::function<void()> Change;
    // A WM_HSCROLL notification of this bar.
    void OnScroll(int code);

  private:
    HWND hwnd_ = nullptr;
    int16_t min_ = 0, max_ = 32767, value_ = 0;
};

// An editable combo box: a text field with a drop-down list.
class ComboBox {
  public:
    ComboBox() = default;
    ComboBox(const ComboBox&) = delete;
    ComboBox& operator=(const ComboBox&) = delete;
    ~ComboBox();

    // listHeight: pixels the dropped list may take below the field.
    bool Create(HWND parent, const RECT& rect, int listHeight, const WidgetFont& font);
    HWND hwnd() const { return hwnd_; }
    void AddItem(const std::wstring& item);
    int ListCount() const;
    std::wstring List(int index) const;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    bool Enabled() const;
    void SetEnabled(bool enabled);

  private:
    HWND hwnd_ = nullptr;
    UniqueFont font_;
};

}  // namespace orbi
