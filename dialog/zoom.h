// The settings dialog's opening and closing animation: the system's caption animation between the point where
// the pointer was when the dialog started and the dialog's frame.
#pragma once

#include "settings/program.h"

namespace orbi {

inline constexpr int32_t kIdaniCaption = 3;

// Takes the pointer position as the zoom's origin: both coordinates 0 when the position is unknown, and a
// coordinate outside 16 bits left as it was.
void SetZoomOriginFromCursor(Program& p);

// From the origin point to the window's current rectangle.
void ZoomOpen(Program& p, Hwnd window);
// From the window's current rectangle back to the origin point.
void ZoomClose(Program& p, Hwnd window);

}  // namespace orbi
