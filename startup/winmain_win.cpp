// The program's entry: the screen-saver host starts it with /s, /p HWND or /c.
#include <windows.h>

#include "platform/runtime_win.h"
#include "platform/win_api_win.h"
#include "startup/mode_windows_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Lives until the program ends: windows and timers refer to it for the whole run.
    static orbi::Win32Api api;
    static orbi::Program program(api);
    static orbi::Win32ModeWindows windows(program);
    program.commandLine = orbi::CommandArguments(GetCommandLineW());
    orbi::Main(program, windows);
    orbi::RunMessageLoop();
    orbi::EndProgram();
}
