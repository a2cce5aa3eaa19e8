// Display mode: the full-screen window.
#pragma once

#include "platform/process.h"

namespace orbi {

// Loads the display window; its load handler shows it and starts the music. Returns at once.
void LoadDisplayWindow(Process& p);

}  // namespace orbi
