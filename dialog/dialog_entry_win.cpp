#include "dialog/orbimotion_p_win.h"

namespace orbi {

// Placeholder until the settings dialog lands.
void ShowSettingsDialogModal(Process&) {}

}  // namespace orbi
