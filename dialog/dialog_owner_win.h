// The window of the program that started the settings (the display settings pass theirs after "/c:").
#pragma once

#include <windows.h>

#include "platform/win_api.h"

namespace orbi {

// The top-level window a live handle belongs to (a child's handle counts as its top-level window); null for 0, a
// handle that names no window, or the desktop.
HWND HostWindow(Hwnd handle);

// Keeps an owner disabled while its modal window is open; enables it again on Release (or when it goes) only if it
// was enabled before, so a host that had disabled it itself keeps it so.
class DisabledOwner {
  public:
    DisabledOwner() = default;
    DisabledOwner(const DisabledOwner&) = delete;
    DisabledOwner& operator=(const DisabledOwner&) = delete;
    ~DisabledOwner() { Release(); }

    void Disable(HWND owner);
    void Release();

  private:
    HWND owner_ = nullptr;
};

}  // namespace orbi
