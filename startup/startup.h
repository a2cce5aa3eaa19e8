// Start-up: the single-instance probe, the mode switch of the command line and the hand-over to one mode window.
#pragma once

#include <cstdint>
#include <string>

#include "display/scene.h"
#include "platform/process.h"

namespace orbi {

inline constexpr wchar_t kDialogCaption[] = L"<Orbimotion>";

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

// The window the settings dialog belongs to, as the display settings name it: "/c:" (or "/c" and blanks) followed by
// a decimal handle. 0 when no such number follows, or it does not fit the 32 bits a window handle carries.
Hwnd DialogOwnerHandle(const std::wstring& arguments);

struct PaneSize {
    int16_t width = 0, height = 0;  // twips; a size that overflows 16 bits stays 0
};
PaneSize PaneSizeTwips(const Rect& pane, double twipsPerPixelX, double twipsPerPixelY);

inline constexpr int32_t kGwlStyle = -16;
inline constexpr int32_t kWsChild = 0x40000000;

// Runs start-up with p.commandLine; returns when the chosen mode window has taken over (or the program ended).
void Main(Process& p, ModeWindows& windows);

}  // namespace orbi

namespace orbi {

// The argument text of a full command line: what follows the program's path (quoted or not) and the blanks after it.
std::wstring CommandArguments(const std::wstring& fullCommandLine);

}  // namespace orbi
