#include "startup/startup.h"

#include "dialog/dialog_logic.h"
#include "display/scene.h"
#include "platform/numbers.h"
#include "settings/settings.h"

namespace orbi {

std::wstring ModeCharacter(const std::wstring& arguments) {
    if (arguments.size() < 2)
        return std::wstring();
    return UpperAscii(arguments.substr(1, 1));
}

int32_t PreviewHandle(const std::wstring& arguments) {
    std::wstring tail = arguments.size() > 3 ? arguments.substr(3) : std::wstring();
    return ToInt32(Val(tail)).value_or(0);
}

PaneSize PaneSizeTwips(const Rect& pane, double twipsPerPixelX, double twipsPerPixelY) {
    PaneSize size;
    // Computed in floating point so that a huge rectangle overflows the 16-bit field instead of wrapping.
    double w = (static_cast<double>(pane.right) - pane.left) * twipsPerPixelX;
    double h = (static_cast<double>(pane.bottom) - pane.top) * twipsPerPixelY;
    size.width = ToInt16(w).value_or(0);
    size.height = ToInt16(h).value_or(0);
    return size;
}

void Main(Program& p, ModeWindows& windows) {
    // Both probes are always made, whatever the first one found.
    const std::wstring displayCaption = kDisplayCaption;
    const std::wstring dialogCaption = kDialogCaption;
    Hwnd running = p.api.FindWindowA(nullptr, &displayCaption);
    Hwnd dialog = p.api.FindWindowA(nullptr, &dialogCaption);
    if (running != 0 || dialog != 0) {
        windows.EndProgram();
        return;
    }

    const std::wstring mode = ModeCharacter(p.commandLine);
    if (mode == L"P") {
        const Hwnd host = static_cast<Hwnd>(static_cast<intptr_t>(PreviewHandle(p.commandLine)));
        Rect pane;
        p.ApiResult = p.api.GetWindowRect(host, pane);
        const double tppX = windows.TwipsPerPixelX();
        const double tppY = windows.TwipsPerPixelY();
        const PaneSize size = PaneSizeTwips(pane, tppX, tppY);
        const Hwnd preview = windows.LoadPreview();
        // Without its window nothing would ever end the process.
        if (preview == 0) {
            windows.EndProgram();
            return;
        }
        const int32_t style = p.api.GetWindowLongA(preview, kGwlStyle);
        p.ApiResult = p.api.SetWindowLongA(preview, kGwlStyle, style | kWsChild);
        p.ApiResult = static_cast<int32_t>(p.api.SetParent(preview, host));
        windows.PlacePreview(size.width, size.height, size.width / tppX, size.height / tppY);
        windows.ShowPreview();
        return;
    }

    LoadSettings(p);

    if (mode == L"C") {
        windows.ShowDialogModal();
        windows.EndProgram();
        return;
    }
    if (!p.commandLine.empty() && mode != L"S") {
        windows.EndProgram();
        return;
    }
    if (mode == L"S") {
        p.CursorCount = p.api.ShowCursor(false);
        p.CursorHidden = true;
    }
    windows.LoadDisplay();
}

}  // namespace orbi

namespace orbi {

std::wstring CommandArguments(const std::wstring& line) {
    size_t i = 0;
    if (i < line.size() && line[i] == L'"') {
        size_t close = line.find(L'"', 1);
        i = close == std::wstring::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t')
            ++i;
    }
    while (i < line.size() && (line[i] == L' ' || line[i] == L'\t'))
        ++i;
    return line.substr(i);
}

}  // namespace orbi
