#include "startup/mode_windows_win.h"

#include "dialog/settings_dialog_win.h"
#include "display/display_window_win.h"
#include "platform/runtime_win.h"

namespace orbi {

double Win32ModeWindows::TwipsPerPixelX() {
    return orbi::TwipsPerPixelX();
}

double Win32ModeWindows::TwipsPerPixelY() {
    return orbi::TwipsPerPixelY();
}

Hwnd Win32ModeWindows::LoadPreview() {
    preview_ = std::make_unique<PreviewWindow>(p_);
    preview_->Load();
    return reinterpret_cast<Hwnd>(preview_->hwnd());
}

void Win32ModeWindows::PlacePreview(int16_t paneWidthTwips,
                                    int16_t paneHeightTwips,
                                    double pictureWidthPx,
                                    double pictureHeightPx) {
    if (preview_)
        preview_->Place(paneWidthTwips, paneHeightTwips, pictureWidthPx, pictureHeightPx);
}

void Win32ModeWindows::ShowPreview() {
    if (preview_)
        preview_->Show();
}

void Win32ModeWindows::ShowDialogModal() {
    ShowSettingsDialogModal(p_);
}

void Win32ModeWindows::LoadDisplay() {
    LoadDisplayWindow(p_);
}

void Win32ModeWindows::EndProgram() {
    orbi::EndProgram();
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace orbi
