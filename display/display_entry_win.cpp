#include "display/orbimotion_s_win.h"

#include "platform/runtime_win.h"

namespace orbi {

// Placeholder until the display window lands: display mode ends at once.
void LoadDisplayWindow(Process&) {
    EndProgram();
}

}  // namespace orbi
