// The system's editable combo box as a widget: a text field with a drop-down list.
#pragma once

#include <windows.h>

#include <string>

#include "platform/font.h"
#include "platform/handles_win.h"

namespace orbi {

class ComboBox {
  public:
    // listHeight: pixels the dropped list may take below the field.
    bool Create(HWND parent, const RECT& rect, int listHeight, const FontDesc& font);
    HWND hwnd() const { return window_.get(); }
    void AddItem(const std::wstring& item);
    // The dialog only fills the list; reading it back lets a check see what the user can pick.
    int ListCount() const;
    std::wstring List(int index) const;
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    bool Enabled() const;
    void SetEnabled(bool enabled);

  private:
    UniqueFont font_;  // outlives the window that uses it
    UniqueWindow window_;
};

}  // namespace orbi
