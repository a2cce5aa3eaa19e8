#include "support/scr_process_win.h"

#include "platform/surface_win.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cmath>
#include <atomic>
#include <vector>

namespace orbi::test {

namespace {

std::string Encode(UINT codePage, const std::wstring& w) {
    int n = WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring Widen(const std::string& s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// Said on stderr and added to the run's list of restarts, which scripts/wine-run.sh names.
void NoteRestart(const std::string& what) {
    const char* run = std::getenv("ORBI_RUN_NAME");
    const std::string line = std::string(run ? run : "") + ": " + what;
    std::fprintf(stderr, "not started, once more: %s\n", line.c_str());
    if (const char* name = std::getenv("ORBI_RESTARTS_LOG")) {
        if (std::FILE* log = std::fopen(name, "a")) {
            std::fprintf(log, "%s\n", line.c_str());
            std::fclose(log);
        }
    }
}

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

std::wstring WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return Widen(path);
    std::wstring w = L"Z:" + Widen(path);
    std::replace(w.begin(), w.end(), L'/', L'\\');
    return w;
}

std::wstring BuiltScrPath() {
#ifdef ORBI_SCR_PATH
    return WindowsPath(ORBI_SCR_PATH);
#else
    return L"";
#endif
}

std::wstring TestMp3Path() {
#ifdef ORBI_TEST_MEDIA_DIR
    return WindowsPath(ORBI_TEST_MEDIA_DIR) + L"\\short tone.mp3";
#else
    return L"";
#endif
}

void Drain() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Pump(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= end)
            return false;
        Drain();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

namespace {

// The system's text for an error code, without its line end.
std::string ErrorText(DWORD code) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, 512, nullptr);
    std::string out = std::to_string(code) + " " + Utf8(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return out;
}

}  // namespace

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    for (;;) {
        path_ = std::wstring(base) + L"orbi-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(counter++);
        if (CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TempDir::~TempDir() {
    RemoveTree(path_);
}

void TempDir::WriteBytes(const std::wstring& name, const std::string& bytes) const {
    HANDLE h =
        CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

std::string TempDir::ReadBytes(const std::wstring& name) const {
    return ReadFileBytes(File(name));
}

bool TempDir::Exists(const std::wstring& name) const {
    return GetFileAttributesW(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

ScrInstall::ScrInstall() {
    exe_ = dir_.File(L"Orbimotion.scr");
    if (!CopyFileW(BuiltScrPath().c_str(), exe_.c_str(), FALSE))
        problem_ = "copying " + Utf8(BuiltScrPath()) + " failed with error " + ErrorText(GetLastError());
}

namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

void SetAppDataFolder(const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"AppData", REG_EXPAND_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The Linux path of a Windows one, as Wine maps it; empty outside Wine.
std::string UnixPath(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!unix)
        return std::string();
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

// Runs a Linux shell command (Wine starts Linux programs by their own path) and waits for its end.
void RunLinuxShell(const std::string& command) {
    std::wstring line = L"/bin/sh -c \"" + Widen(command) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return;
    WaitForSingleObject(pi.hProcess, 30000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

bool RefusesNewFiles(const std::wstring& folder) {
    const std::wstring probe = folder + L"\\orbi-write-probe.tmp";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(h);
    return false;
}

}  // namespace

UserSettingsFolder::UserSettingsFolder(bool blocked) {
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"AppData", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                     &size) == ERROR_SUCCESS)
        saved_ = value;
    if (blocked)
        dir_.WriteBytes(L"Orbimotion", "not a folder");
    SetAppDataFolder(dir_.path());
}

UserSettingsFolder::~UserSettingsFolder() {
    SetAppDataFolder(saved_.empty() ? L"%USERPROFILE%\\AppData\\Roaming" : saved_);
}

ReadOnlyFolder::ReadOnlyFolder(const std::wstring& folder) : unixPath_(UnixPath(folder)) {
    if (unixPath_.find('\'') != std::string::npos)
        unixPath_.clear();  // not a name the shell line below can quote
    if (unixPath_.empty())
        return;
    const std::string quoted = "'" + unixPath_ + "'";
    RunLinuxShell("mount --bind " + quoted + " " + quoted + " && mount -o remount,bind,ro " + quoted);
    ok_ = WaitUntil([&] { return RefusesNewFiles(folder); }, 5000);
}

ReadOnlyFolder::~ReadOnlyFolder() {
    // Lazily: a program started from the folder may still hold it.
    if (!unixPath_.empty())
        RunLinuxShell("umount -l '" + unixPath_ + "' 2>/dev/null");
}

ScrProcess::~ScrProcess() {
    Kill();
}

bool ScrProcess::Failed(const std::string& why) {
    problem_ = why;
    std::fprintf(stderr, "%s\n", why.c_str());
    return false;
}

bool ScrProcess::Start(const std::wstring& exe, const std::wstring& arguments) {
    Kill();
    std::wstring line = L"\"" + exe + L"\"";
    if (!arguments.empty())
        line += L" " + arguments;
    std::vector<wchar_t> buf(line.begin(), line.end());
    buf.push_back(L'\0');
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
    problem_.clear();
    if (CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_))
        return true;
    DWORD error = GetLastError();
    // Wine now and then loses a new process before its start-up has ended: it never ran, and is started once more.
    if (error == ERROR_INTERNAL_ERROR) {
        NoteRestart(Utf8(line).substr(0, 300) + " (CreateProcess: error " + ErrorText(error) + ")");
        if (CreateProcessW(exe.c_str(), buf.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_))
            return true;
        error = GetLastError();
    }
    pi_ = PROCESS_INFORMATION{};
    return Failed("CreateProcess failed with error " + ErrorText(error) + " for " + Utf8(line).substr(0, 300));
}

bool ScrProcess::Start(const ScrInstall& install, const std::wstring& arguments) {
    if (!install.problem().empty())
        return Failed(install.problem());
    return Start(install.exe(), arguments);
}

bool ScrProcess::WaitExit(DWORD timeoutMs) {
    if (!pi_.hProcess)
        return true;
    // Pump while waiting: the program may send messages to this thread's windows (a parent pane) as it ends.
    return WaitUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
}

bool ScrProcess::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ScrProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess)
        GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void ScrProcess::Kill() {
    if (pi_.hProcess) {
        if (Running()) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    pi_ = PROCESS_INFORMATION{};
}

HostWindow::HostWindow(const wchar_t* title, DWORD style, int x, int y, int w, int h) {
    static const wchar_t* const kClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrbiTestHost";
        RegisterClassW(&wc);
        return wc.lpszClassName;
    }();
    hwnd_ = CreateWindowW(kClass, title, style, x, y, w, h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
    Destroy();
}

void HostWindow::Destroy() {
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

std::wstring HostWindow::HandleText() const {
    return std::to_wstring(reinterpret_cast<uintptr_t>(hwnd_));
}

HWND HostWindow::FirstChild() const {
    const std::vector<HWND> children = Descendants(hwnd_);
    return children.empty() ? nullptr : children.front();
}

HWND WaitForTopLevel(const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevel(match)) != nullptr; }, timeoutMs);
    return found;
}

std::vector<uint32_t> ScreenPixels(const RECT& area) {
    BackingImage shot;
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (!shot.Resize(w, h))
        return {};
    HDC screen = GetDC(nullptr);
    BitBlt(shot.dc(), 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    std::vector<uint32_t> px(shot.bits(), shot.bits() + static_cast<size_t>(w) * h);
    for (uint32_t& c : px)
        c &= 0xFFFFFF;
    return px;
}

double CpuMs(HANDLE process) {
    FILETIME t[4];
    GetProcessTimes(process, &t[0], &t[1], &t[2], &t[3]);
    const auto ms = [](const FILETIME& f) { return (uint64_t{f.dwHighDateTime} << 32 | f.dwLowDateTime) / 1e4; };
    return ms(t[2]) + ms(t[3]);
}

HWND WaitForOwnedBox(HWND owner, DWORD timeoutMs) {
    return WaitForTopLevel(
        [owner](HWND h) { return ClassOf(h) == L"#32770" && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == owner; },
        timeoutMs);
}

std::wstring BoxText(HWND box) {
    std::wstring said;
    for (HWND child : Descendants(box)) {
        if (ClassOf(child) == L"Static")
            said += TextOf(child);
    }
    return said;
}

HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowW(nullptr, title.c_str())) != nullptr; }, timeoutMs);
    return found;
}

HWND FindTopLevel(const std::function<bool(HWND)>& match) {
    struct Search {
        const std::function<bool(HWND)>* match;
        HWND found;
    } search{&match, nullptr};
    EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if ((*s->match)(h)) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> all;
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

std::wstring TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return L"<hung>";
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &got);
    text.resize(got);
    return text;
}

POINT Centre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs) {
    return WaitForTopLevel(
        [pid](HWND h) {
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            return owner == pid && IsWindowVisible(h);
        },
        timeoutMs);
}

bool HeldForItself(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION;
    CloseHandle(h);
    return false;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    std::string out;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
        out.append(buf, n);
    CloseHandle(h);
    return out;
}

std::string WavBytes(int milliseconds, bool silent) {
    const uint32_t rate = 22050;
    const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
    std::string out;
    auto u32 = [&](uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); };
    out += "RIFF";
    u32(36 + samples * 2);
    out += "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(samples * 2);
    for (uint32_t i = 0; i < samples; ++i) {
        const double tone = silent ? 0.0 : 8000 * std::sin(i * 2 * 3.14159265358979 * 440 / rate);
        u16(static_cast<uint16_t>(static_cast<int16_t>(tone)));
    }
    return out;
}

void SendKey(WORD virtualKey) {
    Key(virtualKey, false);
    Key(virtualKey, true);
}

void Key(WORD virtualKey, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = virtualKey;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

namespace {

// Each event carries the position itself, so that a press cannot land where the pointer was a moment ago.
void MouseAt(int x, int y, DWORD buttons) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, h = GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1;
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = ((x - left) * 65535 + w / 2) / w;
    in.mi.dy = ((y - top) * 65535 + h / 2) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | buttons;
    SendInput(1, &in, sizeof(INPUT));
}

}  // namespace

void MoveMouseTo(int x, int y) {
    MouseAt(x, y, 0);
}

void ClickMouseAt(int x, int y, bool right) {
    MouseAt(x, y, 0);
    MouseAt(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    MouseAt(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

std::string Cp932(const std::wstring& text) {
    return Encode(932, text);
}

std::string Utf8(const std::wstring& text) {
    return Encode(CP_UTF8, text);
}

int CountProcesses(const std::wstring& imageName) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
        if (_wcsicmp(pe.szExeFile, imageName.c_str()) == 0)
            ++count;
    }
    CloseHandle(snap);
    return count;
}

}  // namespace orbi::test
