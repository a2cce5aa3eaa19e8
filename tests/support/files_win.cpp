#include "support/files_win.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <atomic>

#include "support/windows_win.h"

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

std::wstring WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return Widen(path);
    std::wstring w = L"Z:" + Widen(path);
    std::replace(w.begin(), w.end(), L'/', L'\\');
    return w;
}

std::wstring TestMp3Path() {
#ifdef ORBI_TEST_MEDIA_DIR
    return WindowsPath(ORBI_TEST_MEDIA_DIR) + L"\\short tone.mp3";
#else
    return L"";
#endif
}

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
    // Nothing is written into the folder until the shell says it is read-only beside it: the remount refuses
    // (busy) while a file is open for writing through the new mount.
    marker_ = folder + L".ro";
    RunLinuxShell("mount --bind " + quoted + " " + quoted + " && mount -o remount,bind,ro " + quoted + " && touch '" +
                  unixPath_ + ".ro'");
    ok_ = WaitUntil([&] { return GetFileAttributesW(marker_.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000) &&
          RefusesNewFiles(folder);
}

ReadOnlyFolder::~ReadOnlyFolder() {
    // Lazily: a program started from the folder may still hold it.
    if (!unixPath_.empty())
        RunLinuxShell("umount -l '" + unixPath_ + "' 2>/dev/null");
    if (!marker_.empty())
        DeleteFileW(marker_.c_str());
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

std::string Cp932(const std::wstring& text) {
    return Encode(932, text);
}

std::string Utf8(const std::wstring& text) {
    return Encode(CP_UTF8, text);
}

std::string SettingsText(const std::vector<std::pair<std::wstring, std::wstring>>& keys) {
    std::wstring text = L"[Section]\r\n";
    for (const auto& [key, value] : keys)
        text += key + L"=" + value + L"\r\n";
    return Cp932(text);
}

}  // namespace orbi::test
