// A recording stand-in for the Windows call layer: every call is logged as one line, results are scripted.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/win_api.h"

namespace orbi::test {

class FakeWinApi : public WinApi {
  public:
    // One line per call, e.g. L"mciSendStringA(status cdaudio mode,255)".
    std::vector<std::wstring> calls;

    // Profile store: file -> section -> key -> value text.
    std::map<std::wstring, std::map<std::wstring, std::map<std::wstring, std::wstring>>> ini;
    bool writesFail = false;
    bool writeProbeFails = false;            // what CanOpenForWriting answers for every path
    std::set<std::wstring> unwritableFiles;  // and for these paths only
    std::set<std::wstring> readableFiles;    // a file exists when it is readable or has profile values
    std::set<std::wstring> folders;          // made by CreateFolder, gone by RemoveEmptyFolder
    bool createFolderFails = false;
    std::map<std::wstring, std::wstring> shortNames;  // long path -> short path; none for the others
    std::wstring roamingDir = L"C:\\Users\\me\\AppData\\Roaming";
    std::wstring exeDir = L"C:\\Saver";

    // MCI: the reply (written into the buffer when the code is 0) and code for each command; unknown commands
    // answer `mciDefault`.
    struct MciAnswer {
        uint32_t code = 0;
        std::wstring reply;
        bool unterminated = false;  // the reply fills the buffer to its very end, with no NUL after it
    };
    std::map<std::wstring, MciAnswer> mci;
    MciAnswer mciDefault;
    std::function<MciAnswer(const std::wstring&)> mciHandler;  // takes precedence when set
    std::map<uint32_t, std::wstring> mciErrorTexts;
    uint32_t waveDevices = 1;
    int32_t playSoundResult = 1;
    // Music through the real winmm when set: MCI, PlaySoundA and waveOutGetNumDevs are logged, then answered by it.
    WinApi* winmm = nullptr;
    // Every MCI command with the code it gave back.
    struct MciSent {
        std::wstring command;
        uint32_t code;
    };
    std::vector<MciSent> mciSent;
    // Run before a call is answered, with the buffer as the caller hands it over (none for a plain command).
    std::function<void(const std::wstring& command, const FixedBuffer* reply)> onMci;
    std::function<void(const FixedBuffer& buffer)> onMciError;
    // Run inside each pause, after it is counted.
    std::function<void(uint32_t milliseconds)> onSleep;
    std::function<void()> onShellExecute;

    std::map<Hwnd, Rect> windowRects;
    int32_t cursorCount = 0;
    Point cursor;
    bool cursorFails = false;
    Hwnd windowAtCursor = 0;
    int32_t openFileResult = 0;
    std::wstring openFilePath;
    OpenFileRequest lastOpenFile;
    // Pauses return at once; they are counted, and logged unless quiet (a long run's log would grow without end).
    long sleeps = 0;
    uint32_t sleptTotal = 0;
    bool quietSleeps = false;

    // Only the calls whose line starts with the prefix.
    std::vector<std::wstring> CallsStartingWith(const std::wstring& prefix) const;
    // The profile writes of the calls, in their order.
    std::vector<std::wstring> ProfileWrites() const { return CallsStartingWith(L"WritePrivateProfileStringA"); }

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
    bool IsExistingFile(const std::wstring& path) override;
    bool IsExistingFolder(const std::wstring& path) override;
    bool CreateFolder(const std::wstring& path) override;
    bool RemoveEmptyFolder(const std::wstring& path) override;
    std::wstring ShortPathName(const std::wstring& path) override;
    std::wstring RoamingAppDataFolder() override;
    std::wstring ExeDirectory() override;
    // Code page 932 in small: ASCII, Japanese and full-width forms survive; anything else turns into '?'.
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

  private:
    void Log(std::wstring line) { calls.push_back(std::move(line)); }
};

}  // namespace orbi::test
