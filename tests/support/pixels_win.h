// Pixels read back as 0xRRGGBB, from an off-screen image or from the screen as the X server shows it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/surface_win.h"

namespace orbi::test {

std::vector<uint32_t> Pixels(const BackingImage& image);
// Every process's windows, in virtual-screen pixels.
std::vector<uint32_t> ScreenPixels(const RECT& area);

}  // namespace orbi::test
