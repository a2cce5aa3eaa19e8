#include "dialog/dialog_owner_win.h"

namespace orbi {

HWND HostWindow(Hwnd handle) {
    const HWND window = reinterpret_cast<HWND>(handle);
    if (!window || !IsWindow(window))
        return nullptr;
    // Only a top-level window can own the dialog; disabling a child would leave the host usable.
    const HWND top = GetAncestor(window, GA_ROOT);
    return top && top != GetDesktopWindow() ? top : nullptr;
}

void DisabledOwner::Disable(HWND owner) {
    Release();
    // EnableWindow answers whether the window was disabled already.
    if (owner && !EnableWindow(owner, FALSE))
        owner_ = owner;
}

void DisabledOwner::Release() {
    if (owner_ && IsWindow(owner_))
        EnableWindow(owner_, TRUE);
    owner_ = nullptr;
}

}  // namespace orbi
