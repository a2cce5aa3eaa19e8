// The real mode windows behind start-up.
#pragma once

#include <memory>

#include "startup/preview_window_win.h"
#include "startup/startup.h"

namespace orbi {

class Win32ModeWindows final : public ModeWindows {
  public:
    explicit Win32ModeWindows(Program& p) : p_(p) {}
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;
    Hwnd LoadPreview() override;
    void PlacePreview(int16_t paneWidthTwips,
                      int16_t paneHeightTwips,
                      double pictureWidthPx,
                      double pictureHeightPx) override;
    void ShowPreview() override;
    void ShowDialogModal() override;
    void LoadDisplay() override;
    void EndProgram() override;

  private:
    Program& p_;
    std::unique_ptr<PreviewWindow> preview_;
};

// The message loop that runs once Main has handed over to a modeless window; returns when the program ends.
int RunMessageLoop();

}  // namespace orbi
