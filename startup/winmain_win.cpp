// The program's entry: the screen-saver host starts it with /s, /p HWND or /c.
#include <windows.h>

#include "platform/runtime_win.h"
#include "platform/win_api_win.h"
#include "startup/mode_windows_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything loads a DLL: what the system, winmm (its MCI drivers), the file dialog and the shell load on
    // the program's behalf then comes from the system folder, never from the program's own, where a saver installed
    // by right-click shares the downloads folder with whatever else came. Looked up, as the oldest systems lack it.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (const auto set = reinterpret_cast<SetDirectories>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))))
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Lives until the program ends: windows and timers refer to it for the whole run.
    static orbi::Win32Api api;
    static orbi::Program program(api);
    static orbi::Win32ModeWindows windows(program);
    program.commandLine = orbi::CommandArguments(GetCommandLineW());
    orbi::Main(program, windows);
    orbi::RunMessageLoop();
    orbi::EndProgram();
}
