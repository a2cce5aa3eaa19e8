// A windowless label: a caption in its font over the container, optionally centred or framed.
#pragma once

#include "platform/widget_base_win.h"

namespace orbi {

class Label : public Element {
  public:
    enum class Align { Left, Centre };
    void Draw(HDC dc) const override;
    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& text);
    void SetFont(const FontDesc& font);
    const FontDesc& Font() const { return font_; }

    COLORREF foreColor = RGB(0, 0, 0);
    Align alignment = Align::Left;
    bool border = false;   // fixed single border
    HWND owner = nullptr;  // the container, repainted when the caption changes

  private:
    std::wstring caption_;
    FontDesc font_;
    UniqueFont gdiFont_;
};

}  // namespace orbi
