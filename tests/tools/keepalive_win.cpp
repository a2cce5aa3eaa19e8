// Keeps one hidden window alive in the test session, so that Wine's desktop process stays up between tests. Given a
// file name, it writes that file once its window exists (the desktop is then up and the session warm), listing the
// desk it sees, so that the session can check it is the one asked for:
//   monitor LEFT TOP RIGHT BOTTOM [primary]     (one line per monitor)
//   dpi N
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM text) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    char line[96];
    std::snprintf(line, sizeof line, "monitor %ld %ld %ld %ld%s\n", info.rcMonitor.left, info.rcMonitor.top,
                  info.rcMonitor.right, info.rcMonitor.bottom, info.dwFlags & MONITORINFOF_PRIMARY ? " primary" : "");
    reinterpret_cast<std::string*>(text)->append(line);
    return TRUE;
}

// Written under another name and then renamed, so that whoever waits for the file reads it whole.
void WriteDesk(const char* name) {
    std::string text;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&text));
    HDC screen = GetDC(nullptr);
    text += "dpi " + std::to_string(GetDeviceCaps(screen, LOGPIXELSX)) + "\n";
    ReleaseDC(nullptr, screen);
    const std::string part = std::string(name) + ".part";
    HANDLE file = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExA(part.c_str(), name, MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "OrbimotionTestKeepAlive";
    RegisterClassA(&wc);
    CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    if (commandLine && *commandLine == '"') {  // a name with blanks comes quoted
        ++commandLine;
        if (char* end = strchr(commandLine, '"'))
            *end = '\0';
    }
    if (commandLine && *commandLine)
        WriteDesk(commandLine);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
