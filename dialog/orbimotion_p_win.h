// Configure mode: the settings dialog.
#pragma once

#include "platform/process.h"

namespace orbi {

// Shows the settings dialog modally; returns when it has closed.
void ShowSettingsDialogModal(Process& p);

}  // namespace orbi
