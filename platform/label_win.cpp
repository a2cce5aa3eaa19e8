#include "platform/label_win.h"

namespace orbi {

void Label::SetCaption(const std::wstring& text) {
    caption_ = text;
    if (owner)
        InvalidateRect(owner, &rect, FALSE);
}

void Label::SetFont(const FontDesc& font) {
    font_ = font;
    gdiFont_ = MakeFont(font);
}

void Label::Draw(HDC dc) const {
    if (!visible)
        return;
    RECT box = rect;
    if (border) {
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
        InflateRect(&box, -3, -2);
    }
    if (caption_.empty())
        return;
    const int saved = SaveDC(dc);
    if (gdiFont_)
        SelectObject(dc, gdiFont_.get());
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    UINT format = DT_NOPREFIX | (alignment == Align::Centre ? DT_CENTER : DT_LEFT);
    // A label one line high keeps its text on that line even when the text is longer than the label, rather than
    // breaking it onto a line nobody sees; taller labels wrap (long paths break between characters).
    if (box.bottom - box.top < 2 * tm.tmHeight)
        format |= DT_SINGLELINE | DT_NOCLIP;
    else
        format |= DT_WORDBREAK | DT_EDITCONTROL;
    DrawCaption(dc, caption_, box, format, enabled, foreColor);
    RestoreDC(dc, saved);
}

}  // namespace orbi
