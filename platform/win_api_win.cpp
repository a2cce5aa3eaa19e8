#include "platform/win_api_win.h"

#include <windows.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "platform/ansi_win.h"

namespace orbi {

namespace {

HWND ToHwnd(Hwnd h) {
    return reinterpret_cast<HWND>(h);
}

Hwnd FromHwnd(HWND h) {
    return reinterpret_cast<Hwnd>(h);
}

// A DLL of the system's, from the system folder only. By bare name Windows looks for a DLL that is not one of its
// KnownDLLs (winmm is not) in the program's folder first, and a saver installed by right-click stays where it was
// downloaded, beside whatever else came there. Where the loader refuses the flag (Windows 7 without its update)
// the full path says where, and makes the DLL's own imports come from its folder too.
HMODULE SystemLibrary(const wchar_t* name) {
    HMODULE m = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!m && GetLastError() == ERROR_INVALID_PARAMETER) {
        wchar_t folder[MAX_PATH];
        const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
        if (n > 0 && n < MAX_PATH)
            m = LoadLibraryExW((std::wstring(folder, n) + L"\\" + name).c_str(), nullptr,
                               LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return m;
}

template <typename Function>
Function Bound(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// The file dialog and the shell are loaded on first use: only the settings dialog needs them, and loading them at
// start-up costs the saver about 9 MiB and 35 ms under Wine.
template <typename Function>
Function LateBound(const wchar_t* module, const char* name) {
    return Bound<Function>(SystemLibrary(module), name);
}

// winmm is bound here rather than imported, for the reason above, once, at the first call; a function it does not
// give (or a system without it) answers as a system without a sound device would.
struct Winmm {
    HMODULE module = SystemLibrary(L"winmm.dll");
    decltype(&::mciSendStringA) mciSendStringA = Bound<decltype(mciSendStringA)>(module, "mciSendStringA");
    decltype(&::mciGetErrorStringA) mciGetErrorStringA =
        Bound<decltype(mciGetErrorStringA)>(module, "mciGetErrorStringA");
    decltype(&::PlaySoundA) PlaySoundA = Bound<decltype(PlaySoundA)>(module, "PlaySoundA");
    decltype(&::waveOutGetNumDevs) waveOutGetNumDevs = Bound<decltype(waveOutGetNumDevs)>(module, "waveOutGetNumDevs");
    decltype(&::timeBeginPeriod) timeBeginPeriod = Bound<decltype(timeBeginPeriod)>(module, "timeBeginPeriod");
    decltype(&::timeEndPeriod) timeEndPeriod = Bound<decltype(timeEndPeriod)>(module, "timeEndPeriod");
};

const Winmm& winmm() {
    static const Winmm table;
    return table;
}

RECT ToRECT(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

}  // namespace

uint32_t Win32Api::GetPrivateProfileStringA(const std::wstring& section,
                                            const std::wstring& key,
                                            const std::wstring& defaultValue,
                                            FixedBuffer& buffer,
                                            const std::wstring& file) {
    const size_t length = buffer.chars.size();
    std::string bytes = ToAnsiBuffer(buffer.chars, length);
    DWORD n = ::GetPrivateProfileStringA(ToAnsi(section).c_str(), ToAnsi(key).c_str(), ToAnsi(defaultValue).c_str(),
                                         bytes.data(), static_cast<DWORD>(length), ToAnsi(file).c_str());
    buffer.chars = FromAnsiBuffer(bytes, length);
    return n;
}

int32_t Win32Api::WritePrivateProfileStringA(const std::wstring& section,
                                             const std::wstring& key,
                                             const std::wstring& value,
                                             const std::wstring& file) {
    return ::WritePrivateProfileStringA(ToAnsi(section).c_str(), ToAnsi(key).c_str(), ToAnsi(value).c_str(),
                                        ToAnsi(file).c_str());
}

bool Win32Api::CanOpenForReading(const std::wstring& path) {
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, which is what the program wants.
    HANDLE h = CreateFileA(ToAnsi(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

bool Win32Api::CanOpenForWriting(const std::wstring& path) {
    return ProbeWriting(path) == WriteAccess::Writable;
}

WriteAccess Win32Api::ProbeWriting(const std::wstring& path) {
    const std::string ansi = ToAnsi(path);
    HANDLE h = CreateFileA(ansi.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
        // A probe that deletes itself: the folder takes new files, and no empty settings file stays.
        h = CreateFileA(ansi.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? WriteAccess::Held
                                                                                 : WriteAccess::Refused;
    }
    // A program may also let others open the file and lock a part of it, where a write would then fail.
    OVERLAPPED whole{};
    bool locked = false;
    if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole))
        UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &whole);
    else
        locked = GetLastError() == ERROR_LOCK_VIOLATION;
    CloseHandle(h);
    return locked ? WriteAccess::Held : WriteAccess::Writable;
}

bool Win32Api::IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesA(ToAnsi(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Api::IsExistingFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesA(ToAnsi(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Api::CreateFolder(const std::wstring& path) {
    return CreateDirectoryA(ToAnsi(path).c_str(), nullptr) || IsExistingFolder(path);
}

bool Win32Api::RemoveEmptyFolder(const std::wstring& path) {
    // The system removes only an empty folder.
    return RemoveDirectoryA(ToAnsi(path).c_str()) != FALSE;
}

std::wstring Win32Api::ShortPathName(const std::wstring& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0)
        return std::wstring();
    std::wstring shortPath(needed, L'\0');
    const DWORD n = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (n == 0 || n >= needed)
        return std::wstring();
    shortPath.resize(n);
    return shortPath;
}

std::wstring Win32Api::RoamingAppDataFolder() {
    // Late for the same reason as the file dialog; the folder's text belongs to the system's allocator.
    using GetKnownFolder = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    using FreeTask = void(WINAPI*)(void*);
    static const auto known = LateBound<GetKnownFolder>(L"shell32.dll", "SHGetKnownFolderPath");
    static const auto free = LateBound<FreeTask>(L"ole32.dll", "CoTaskMemFree");
    if (!known || !free)
        return std::wstring();
    PWSTR raw = nullptr;
    const HRESULT hr = known(FOLDERID_RoamingAppData, 0, nullptr, &raw);
    const std::unique_ptr<wchar_t, FreeTask> owned(raw, free);
    return SUCCEEDED(hr) && raw ? std::wstring(raw) : std::wstring();
}

std::wstring Win32Api::ExeDirectory() {
    std::string path(MAX_PATH, '\0');
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    while (n == path.size()) {
        path.resize(path.size() * 2);
        n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    }
    path.resize(n);
    // Searching the bytes for '\' would be wrong: it is a trail byte of some double-byte characters.
    std::wstring wide = FromAnsi(path);
    size_t wslash = wide.find_last_of(L"\\/");
    if (wslash == std::wstring::npos)
        return std::wstring();
    // A drive's root is "C:\", not "C:", which would name the drive's current folder.
    if (wslash > 0 && wide[wslash - 1] == L':')
        return wide.substr(0, wslash + 1);
    return wide.substr(0, wslash);
}

std::wstring Win32Api::AnsiRoundTrip(const std::wstring& text) {
    return FromAnsi(ToAnsi(text));
}

size_t Win32Api::AnsiLength(const std::wstring& text) {
    return ToAnsi(text).size();
}

void Win32Api::Sleep(uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

uint32_t Win32Api::mciSendStringA(const std::wstring& command,
                                  FixedBuffer* reply,
                                  uint32_t replyLength,
                                  Hwnd callback) {
    const auto send = winmm().mciSendStringA;
    if (!send)
        return MCIERR_DEVICE_NOT_INSTALLED;
    if (!reply)
        return send(ToAnsi(command).c_str(), nullptr, 0, ToHwnd(callback));
    const size_t length = reply->chars.size();
    std::string bytes = ToAnsiBuffer(reply->chars, length);
    // A length larger than the buffer would let the system write past it.
    const UINT fits = static_cast<UINT>(std::min<size_t>(replyLength, length));
    MCIERROR code = send(ToAnsi(command).c_str(), bytes.data(), fits, ToHwnd(callback));
    reply->chars = FromAnsiBuffer(bytes, length);
    return code;
}

int32_t Win32Api::mciGetErrorStringA(uint32_t code, FixedBuffer& buffer, uint32_t length) {
    const auto text = winmm().mciGetErrorStringA;
    if (!text)
        return FALSE;
    const size_t size = buffer.chars.size();
    std::string bytes = ToAnsiBuffer(buffer.chars, size);
    BOOL ok = text(code, bytes.data(), static_cast<UINT>(std::min<size_t>(length, size)));
    buffer.chars = FromAnsiBuffer(bytes, size);
    return ok;
}

int32_t Win32Api::PlaySoundA(const std::wstring* name, Hinst module, uint32_t flags) {
    const auto play = winmm().PlaySoundA;
    if (!play)
        return FALSE;
    std::string ansi = name ? ToAnsi(*name) : std::string();
    return play(name ? ansi.c_str() : nullptr, reinterpret_cast<HMODULE>(module), flags);
}

uint32_t Win32Api::waveOutGetNumDevs() {
    const auto count = winmm().waveOutGetNumDevs;
    return count ? count() : 0;
}

uint32_t Win32Api::timeBeginPeriod(uint32_t milliseconds) {
    const auto begin = winmm().timeBeginPeriod;
    return begin ? begin(milliseconds) : TIMERR_NOCANDO;
}

uint32_t Win32Api::timeEndPeriod(uint32_t milliseconds) {
    const auto end = winmm().timeEndPeriod;
    return end ? end(milliseconds) : TIMERR_NOCANDO;
}

Hwnd Win32Api::FindWindowA(const std::wstring* className, const std::wstring* title) {
    std::string c = className ? ToAnsi(*className) : std::string();
    std::string t = title ? ToAnsi(*title) : std::string();
    return FromHwnd(::FindWindowA(className ? c.c_str() : nullptr, title ? t.c_str() : nullptr));
}

int32_t Win32Api::GetWindowRect(Hwnd window, Rect& rect) {
    RECT r = ToRECT(rect);
    BOOL ok = ::GetWindowRect(ToHwnd(window), &r);
    if (ok)
        rect = Rect{r.left, r.top, r.right, r.bottom};
    return ok;
}

int32_t Win32Api::GetWindowLongA(Hwnd window, int32_t index) {
    return ::GetWindowLongA(ToHwnd(window), index);
}

int32_t Win32Api::SetWindowLongA(Hwnd window, int32_t index, int32_t value) {
    return ::SetWindowLongA(ToHwnd(window), index, value);
}

Hwnd Win32Api::SetParent(Hwnd child, Hwnd parent) {
    return FromHwnd(::SetParent(ToHwnd(child), ToHwnd(parent)));
}

int32_t Win32Api::ShowCursor(bool show) {
    return ::ShowCursor(show ? TRUE : FALSE);
}

int32_t Win32Api::SetWindowPos(Hwnd window, Hwnd after, int32_t x, int32_t y, int32_t cx, int32_t cy, uint32_t flags) {
    return ::SetWindowPos(ToHwnd(window), ToHwnd(after), x, y, cx, cy, flags);
}

int32_t Win32Api::GetCursorPos(Point& point) {
    POINT pt{};
    BOOL ok = ::GetCursorPos(&pt);
    if (ok)
        point = Point{pt.x, pt.y};
    return ok;
}

Hwnd Win32Api::WindowFromPoint(Point point) {
    return FromHwnd(::WindowFromPoint(POINT{point.x, point.y}));
}

int32_t Win32Api::DrawAnimatedRects(Hwnd window, int32_t animation, const Rect& from, const Rect& to) {
    RECT a = ToRECT(from);
    RECT b = ToRECT(to);
    return ::DrawAnimatedRects(ToHwnd(window), animation, &a, &b);
}

Hwnd Win32Api::GetWindow(Hwnd window, uint32_t command) {
    return FromHwnd(::GetWindow(ToHwnd(window), command));
}

int32_t Win32Api::PostMessageA(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return ::PostMessageA(ToHwnd(window), message, wParam, lParam);
}

int32_t Win32Api::GetOpenFileNameW(const OpenFileRequest& request, std::wstring& path) {
    std::wstring file(request.fileBufferLength, L'\0');
    std::wstring fileTitle(request.titleBufferLength, L'\0');

    // The 76-byte form of the structure: what the program was written for, without the Windows 2000 tail.
    OPENFILENAMEW ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = ToHwnd(request.owner);
    ofn.hInstance = reinterpret_cast<HINSTANCE>(request.instance);
    ofn.lpstrFilter = request.filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = request.fileBufferLength;
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = request.titleBufferLength;
    ofn.lpstrInitialDir = request.initialDir.c_str();
    ofn.lpstrTitle = request.title.c_str();
    ofn.Flags = request.flags;
    static const auto open = LateBound<decltype(&::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    BOOL ok = open ? open(&ofn) : FALSE;
    if (ok)
        path = file.substr(0, file.find(L'\0'));
    return ok;
}

intptr_t Win32Api::ShellExecuteA(Hwnd window,
                                 const std::wstring& verb,
                                 const std::wstring& file,
                                 const std::wstring& parameters,
                                 const std::wstring& directory,
                                 int32_t show) {
    static const auto execute = LateBound<decltype(&::ShellExecuteA)>(L"shell32.dll", "ShellExecuteA");
    if (!execute)
        return 0;
    return reinterpret_cast<intptr_t>(execute(ToHwnd(window), ToAnsi(verb).c_str(), ToAnsi(file).c_str(),
                                              ToAnsi(parameters).c_str(), ToAnsi(directory).c_str(), show));
}

}  // namespace orbi
