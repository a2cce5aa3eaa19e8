// Start-up: the single-instance probe, the mode switch of the command line and the hand-over to one mode window.
#pragma once

#include <cstdint>
#include <string>

#include "settings/program.h"

namespace orbi {

// The windows start-up creates; the Windows side makes real windows, tests record the calls.
class ModeWindows {
  public:
    virtual ~ModeWindows() = default;
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;
    // Creates the preview window hidden and returns its handle.
    virtual Hwnd LoadPreview() = 0;
    // Outer size of the preview window in twips and of its picture in pixels, both at 0, 0.
    virtual void PlacePreview(int16_t paneWidthTwips,
                              int16_t paneHeightTwips,
                              double pictureWidthPx,
                              double pictureHeightPx) = 0;
    virtual void ShowPreview() = 0;
    // Shows the settings dialog modally; returns when it has closed.
    virtual void ShowDialogModal() = 0;
    virtual void LoadDisplay() = 0;
    // Ends the process at once; in tests it records and returns.
    virtual void EndProgram() = 0;
};

// The mode character: the second character of the upper-cased argument text, or empty.
std::wstring ModeCharacter(const std::wstring& arguments);

// The preview host handle: the text from character 4 on, read as a decimal number; 0 when it does not fit.
int32_t PreviewHandle(const std::wstring& arguments);

struct PaneSize {
    int16_t width = 0, height = 0;  // twips; a size that overflows 16 bits stays 0
};
PaneSize PaneSizeTwips(const Rect& pane, double twipsPerPixelX, double twipsPerPixelY);

inline constexpr int32_t kGwlStyle = -16;
inline constexpr int32_t kWsChild = 0x40000000;

// Runs start-up with p.commandLine; returns when the chosen mode window has taken over (or the program ended).
void Main(Program& p, ModeWindows& windows);

// The argument text of a full command line: what follows the program's path (quoted or not) and the blanks after it.
std::wstring CommandArguments(const std::wstring& fullCommandLine);

}  // namespace orbi
