#include "platform/combo_box_win.h"

#include <algorithm>

#include "platform/widget_base_win.h"

namespace orbi {

bool ComboBox::Create(HWND parent, const RECT& rect, int listHeight, const FontDesc& font) {
    // Auto-scrolling text: the user may type more than the field shows.
    window_.reset(CreateWindowExW(0, L"COMBOBOX", L"",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top + listHeight,
                                  parent, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window_)
        return false;
    font_ = MakeFont(font);
    if (font_)
        SendMessageW(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    return true;
}

void ComboBox::AddItem(const std::wstring& item) {
    if (window_)
        SendMessageW(window_.get(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ComboBox::ListCount() const {
    return window_ ? static_cast<int>(SendMessageW(window_.get(), CB_GETCOUNT, 0, 0)) : 0;
}

std::wstring ComboBox::List(int index) const {
    if (!window_)
        return std::wstring();
    const LRESULT length = SendMessageW(window_.get(), CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(window_.get(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
}

std::wstring ComboBox::Text() const {
    if (!window_)
        return std::wstring();
    const int length = GetWindowTextLengthW(window_.get());
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window_.get(), text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

void ComboBox::SetText(const std::wstring& text) {
    if (window_)
        SetWindowTextW(window_.get(), text.c_str());
}

bool ComboBox::Enabled() const {
    return window_ && IsWindowEnabled(window_.get());
}

void ComboBox::SetEnabled(bool enabled) {
    if (window_)
        EnableWindow(window_.get(), enabled ? TRUE : FALSE);
}

}  // namespace orbi
