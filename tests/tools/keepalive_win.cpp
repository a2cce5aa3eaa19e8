// Keeps one hidden window alive in the test session, so that Wine's desktop process stays up between tests. Given a
// file name, it creates that file once its window exists: the desktop is then up and the session warm.
#include <windows.h>

#include <cstring>

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
        CloseHandle(CreateFileA(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
