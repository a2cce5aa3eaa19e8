// The /c:HWND switch the display settings start the dialog with.
#pragma once

#include <string>

#include "platform/win_api.h"

namespace orbi {

// The window the settings dialog belongs to, as the display settings name it: "/c:" (or "/c" and blanks) followed by
// a decimal handle. 0 when no such number follows, or it does not fit the 32 bits a window handle carries.
Hwnd DialogOwnerHandle(const std::wstring& arguments);

}  // namespace orbi
