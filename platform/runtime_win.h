// Runtime services the windows rely on: screen metrics in twips, the program's end, time of day, resources.
#pragma once

#include <windows.h>

#include <string>

namespace orbi {

double TwipsPerPixelX();
double TwipsPerPixelY();
double ScreenWidthTwips();
double ScreenHeightTwips();
HINSTANCE ProgramInstance();
// Ends the process at once: no window's unload handler and no timer tick runs any more.
[[noreturn]] void EndProgram();
double SecondsSinceMidnight();
// Screen-wide mouse pointer: the default arrow or the hourglass.
void SetScreenPointerDefault();
void SetScreenPointerHourglass();
bool ScreenPointerIsHourglass();

}  // namespace orbi
