// The preview window: a fixed picture inside the preview pane of the display settings. Short role name: Orbimotion_R.
#pragma once

#include "platform/surface_win.h"
#include "platform/window_win.h"
#include "settings/program.h"

namespace orbi {

class PreviewWindow : public Window {
  public:
    explicit PreviewWindow(Program& p) : p_(p) {}
    ~PreviewWindow() override;
    // Creates the window hidden, top-level and borderless, with its picture loaded.
    bool Load();
    // Outer size in twips and the picture element's size in pixels, both at the pane's top-left.
    void Place(double widthTwips, double heightTwips, double pictureWidthPx, double pictureHeightPx);
    void Show();
    // Draws the window's content (black, the picture cut at the element's edges) into dc.
    void PaintContent(HDC dc) const override;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Form_Unload();
    bool HostAlive() const;
    static void CALLBACK HostWatch_Timer(HWND, UINT, UINT_PTR, DWORD);
    Program& p_;
    BackingImage picture_;
    int imageW_ = 0, imageH_ = 0;  // Img_Prev's size in pixels
    UINT_PTR hostWatch_ = 0;
};

}  // namespace orbi
