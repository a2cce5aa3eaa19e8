#include "display/display_window_win.h"

namespace orbi {

void LoadDisplayWindow(Program& p) {
    // Lives until the program ends, which never returns here: no destructor is wanted.
    auto* window = new DisplayWindow(p);
    window->Load();
}

}  // namespace orbi
