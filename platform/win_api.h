// The Windows functions the program's logic calls, as an interface: the real one converts the program's Unicode
// text to the ANSI code page at every call, tests substitute a recording fake. No <windows.h> here.
#pragma once

#include <cstdint>
#include <string>

namespace orbi {

using Hwnd = uintptr_t;   // window handle as a number; 0 is "no window"
using Hinst = uintptr_t;  // module instance handle

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Point {
    int32_t x = 0, y = 0;
};

// Fixed-length text buffer as the ANSI functions expect it: `length` characters, NUL-filled, kept between calls.
// The Windows side passes an ANSI copy of the whole buffer and copies the whole buffer back.
struct FixedBuffer {
    explicit FixedBuffer(size_t length) : chars(length, L'\0') {}
    std::wstring chars;
    // The text before the first NUL: what a caller reads after a call.
    std::wstring Text() const { return chars.substr(0, chars.find(L'\0')); }
};

// Arguments of the file-open dialog that the program sets; every other field of the structure is zero.
struct OpenFileRequest {
    Hwnd owner = 0;
    Hinst instance = 0;
    std::wstring filter;  // pairs separated by NUL, ended by a further NUL
    uint32_t fileBufferLength = 255;
    uint32_t titleBufferLength = 255;
    std::wstring initialDir;
    std::wstring title;
    uint32_t flags = 0;
};

// What writing a file meets now.
enum class WriteAccess {
    Writable,  // an existing file opens for writing, or a missing one could be made
    Held,      // another program has it open without sharing it for writing, or has locked part of it
    Refused,   // anything else: access denied, a read-only file or folder, a folder in its place, no such folder
};

class WinApi {
  public:
    virtual ~WinApi() = default;

    // kernel32 profile functions and files
    virtual uint32_t GetPrivateProfileStringA(const std::wstring& section,
                                              const std::wstring& key,
                                              const std::wstring& defaultValue,
                                              FixedBuffer& buffer,
                                              const std::wstring& file) = 0;
    virtual int32_t WritePrivateProfileStringA(const std::wstring& section,
                                               const std::wstring& key,
                                               const std::wstring& value,
                                               const std::wstring& file) = 0;
    // True when the file opens for sequential reading (a folder does not).
    virtual bool CanOpenForReading(const std::wstring& path) = 0;
    // True when the file can be written: an existing one opens for writing, a missing one could be created.
    // Nothing is left behind by asking.
    virtual bool CanOpenForWriting(const std::wstring& path) = 0;
    // The same question, telling a file another program holds at the moment from one that cannot be written. A call
    // layer that cannot tell them apart answers Writable or Refused. Nothing is left behind by asking.
    virtual WriteAccess ProbeWriting(const std::wstring& path) {
        return CanOpenForWriting(path) ? WriteAccess::Writable : WriteAccess::Refused;
    }
    // True when a file (not a folder) of that name exists, whether or not it can be opened.
    virtual bool IsExistingFile(const std::wstring& path) = 0;
    virtual bool IsExistingFolder(const std::wstring& path) = 0;
    // Makes the folder; true when it exists afterwards, made now or before.
    virtual bool CreateFolder(const std::wstring& path) = 0;
    // Removes the folder only when it is empty; true when it was removed.
    virtual bool RemoveEmptyFolder(const std::wstring& path) = 0;
    // The short (8.3) form of an existing file's or folder's path; empty when there is none.
    virtual std::wstring ShortPathName(const std::wstring& path) = 0;
    // The user's roaming application-data folder; empty when the system does not name one.
    virtual std::wstring RoamingAppDataFolder() = 0;
    // The folder of the running executable, without a trailing separator, except that a drive's root keeps it
    // ("C:\").
    virtual std::wstring ExeDirectory() = 0;
    // The text after a trip to the ANSI code page and back: unchanged when the code page carries it.
    virtual std::wstring AnsiRoundTrip(const std::wstring& text) = 0;
    // How many bytes the text takes in the ANSI code page.
    virtual size_t AnsiLength(const std::wstring& text) = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;

    // winmm
    virtual uint32_t mciSendStringA(const std::wstring& command,
                                    FixedBuffer* reply,
                                    uint32_t replyLength,
                                    Hwnd callback) = 0;
    virtual int32_t mciGetErrorStringA(uint32_t code, FixedBuffer& buffer, uint32_t length) = 0;
    virtual int32_t PlaySoundA(const std::wstring* name, Hinst module, uint32_t flags) = 0;
    virtual uint32_t waveOutGetNumDevs() = 0;
    // The system clock's resolution for this process, in milliseconds: asked for and given back in pairs.
    virtual uint32_t timeBeginPeriod(uint32_t milliseconds) = 0;
    virtual uint32_t timeEndPeriod(uint32_t milliseconds) = 0;

    // user32
    virtual Hwnd FindWindowA(const std::wstring* className, const std::wstring* title) = 0;
    virtual int32_t GetWindowRect(Hwnd window, Rect& rect) = 0;
    virtual int32_t GetWindowLongA(Hwnd window, int32_t index) = 0;
    virtual int32_t SetWindowLongA(Hwnd window, int32_t index, int32_t value) = 0;
    virtual Hwnd SetParent(Hwnd child, Hwnd parent) = 0;
    virtual int32_t ShowCursor(bool show) = 0;
    virtual int32_t
    SetWindowPos(Hwnd window, Hwnd after, int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags) = 0;
    virtual int32_t GetCursorPos(Point& point) = 0;
    virtual Hwnd WindowFromPoint(Point point) = 0;
    virtual int32_t DrawAnimatedRects(Hwnd window, int32_t animation, const Rect& from, const Rect& to) = 0;
    virtual Hwnd GetWindow(Hwnd window, uint32_t command) = 0;
    virtual int32_t PostMessageA(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;

    // comdlg32 and shell32
    // The wide file-open dialog, so that a name the ANSI code page cannot carry comes back whole. Returns the
    // dialog's result; on success `path` receives the file buffer's text before its first NUL.
    virtual int32_t GetOpenFileNameW(const OpenFileRequest& request, std::wstring& path) = 0;
    virtual intptr_t ShellExecuteA(Hwnd window,
                                   const std::wstring& verb,
                                   const std::wstring& file,
                                   const std::wstring& parameters,
                                   const std::wstring& directory,
                                   int32_t show) = 0;
};

}  // namespace orbi
