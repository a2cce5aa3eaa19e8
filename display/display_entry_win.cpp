#include "display/orbimotion_s_win.h"

namespace orbi {

void LoadDisplayWindow(Process& p) {
    // Lives until the program ends, which never returns here: no destructor is wanted.
    auto* window = new Orbimotion_S(p);
    window->Load();
}

}  // namespace orbi
