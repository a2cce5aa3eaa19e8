#include "platform/runtime_win.h"

namespace orbi {

namespace {

double LogPixels(int index) {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, index) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

bool g_hourglass = false;

}  // namespace

double TwipsPerPixelX() {
    return 1440.0 / LogPixels(LOGPIXELSX);
}

double TwipsPerPixelY() {
    return 1440.0 / LogPixels(LOGPIXELSY);
}

double ScreenWidthTwips() {
    return GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX();
}

double ScreenHeightTwips() {
    return GetSystemMetrics(SM_CYSCREEN) * TwipsPerPixelY();
}

HINSTANCE ProgramInstance() {
    return GetModuleHandleW(nullptr);
}

void EndProgram() {
    ExitProcess(0);
}

double SecondsSinceMidnight() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

void SetScreenPointerDefault() {
    g_hourglass = false;
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
}

void SetScreenPointerHourglass() {
    g_hourglass = true;
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

bool ScreenPointerIsHourglass() {
    return g_hourglass;
}

}  // namespace orbi
