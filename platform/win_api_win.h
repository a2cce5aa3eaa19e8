// The real Windows call layer: each ANSI function receives ANSI copies of the program's Unicode text.
#pragma once

#include "platform/win_api.h"

namespace orbi {

class Win32Api : public WinApi {
  public:
    uint32_t GetPrivateProfileStringA(const std::wstring& section,
                                      const std::wstring& key,
                                      const std::wstring& defaultValue,
                                      FixedBuffer& buffer,
                                      const std::wstring& file) override;
    int32_t WritePrivateProfileStringA(const std::wstring& section,
                                       const std::wstring& key,
                                       const std::wstring& value,
                                       const std::wstring& file) override;
    bool CanOpenForReading(const std::wstring& path) override;
    bool CanOpenForWriting(const std::wstring& path) override;
    WriteAccess ProbeWriting(const std::wstring& path) override;
    bool IsExistingFile(const std::wstring& path) override;
    bool IsExistingFolder(const std::wstring& path) override;
    bool CreateFolder(const std::wstring& path) override;
    bool RemoveEmptyFolder(const std::wstring& path) override;
    std::wstring ShortPathName(const std::wstring& path) override;
    std::wstring RoamingAppDataFolder() override;
    std::wstring ExeDirectory() override;
    std::wstring AnsiRoundTrip(const std::wstring& text) override;
    size_t AnsiLength(const std::wstring& text) override;
    void Sleep(uint32_t milliseconds) override;
    uint32_t mciSendStringA(const std::wstring& command,
                            FixedBuffer* reply,
                            uint32_t replyLength,
                            Hwnd callback) override;
    int32_t mciGetErrorStringA(uint32_t code, FixedBuffer& buffer, uint32_t length) override;
    int32_t PlaySoundA(const std::wstring* name, Hinst module, uint32_t flags) override;
    uint32_t waveOutGetNumDevs() override;
    uint32_t timeBeginPeriod(uint32_t milliseconds) override;
    uint32_t timeEndPeriod(uint32_t milliseconds) override;
    Hwnd FindWindowA(const std::wstring* className, const std::wstring* title) override;
    int32_t GetWindowRect(Hwnd window, Rect& rect) override;
    int32_t GetWindowLongA(Hwnd window, int32_t index) override;
    int32_t SetWindowLongA(Hwnd window, int32_t index, int32_t value) override;
    Hwnd SetParent(Hwnd child, Hwnd parent) override;
    int32_t ShowCursor(bool show) override;
    int32_t SetWindowPos(Hwnd window, Hwnd after, int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags)
        override;
    int32_t GetCursorPos(Point& point) override;
    Hwnd WindowFromPoint(Point point) override;
    int32_t DrawAnimatedRects(Hwnd window, int32_t animation, const Rect& from, const Rect& to) override;
    Hwnd GetWindow(Hwnd window, uint32_t command) override;
    int32_t PostMessageA(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
    int32_t GetOpenFileNameW(const OpenFileRequest& request, std::wstring& path) override;
    intptr_t ShellExecuteA(Hwnd window,
                           const std::wstring& verb,
                           const std::wstring& file,
                           const std::wstring& parameters,
                           const std::wstring& directory,
                           int32_t show) override;
};

}  // namespace orbi
