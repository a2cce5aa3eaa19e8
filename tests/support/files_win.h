// Files and folders of a test's own: scratch folders removed with everything in them, the per-user settings folder
// moved aside, a folder no program can write, and the bytes of sounds and texts.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace orbi::test {

// A Linux path as Wine sees it (Z:\...); Windows paths pass unchanged.
std::wstring WindowsPath(const std::string& path);
// The two-second tone the build makes with sox, as a Windows path.
std::wstring TestMp3Path();

// A fresh folder under %TEMP%, removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    void WriteBytes(const std::wstring& name, const std::string& bytes) const;
    std::string ReadBytes(const std::wstring& name) const;
    bool Exists(const std::wstring& name) const;

  private:
    std::wstring path_;
};

// The roaming application-data folder, where the program keeps per-user settings, moved to a fresh folder of the
// test's own while the object lives (the system's setting for it is put back afterwards). `blocked` puts a file
// where the program's own subfolder would go, so that the per-user file can never be made.
class UserSettingsFolder {
  public:
    explicit UserSettingsFolder(bool blocked = false);
    ~UserSettingsFolder();
    UserSettingsFolder(const UserSettingsFolder&) = delete;
    UserSettingsFolder& operator=(const UserSettingsFolder&) = delete;
    std::wstring IniPath() const { return dir_.File(L"Orbimotion\\Orbimotion.ini"); }
    bool IniExists() const { return dir_.Exists(L"Orbimotion\\Orbimotion.ini"); }

  private:
    TempDir dir_;
    std::wstring saved_;
};

// A folder no program can write in, as for a user who is not an administrator: a read-only bind mount over itself
// (Wine runs as root and ignores file modes). Unmounted when the object goes, even while a program still runs
// from it.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const std::wstring& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool ok() const { return ok_; }

  private:
    std::string unixPath_;
    std::wstring marker_;  // made beside the folder once it is read-only
    bool ok_ = false;
};

// True while a program holds the file open for itself (as the wave player does while it loops).
bool HeldForItself(const std::wstring& path);
// A whole file's bytes; empty when it does not open.
std::string ReadFileBytes(const std::wstring& path);
// A PCM wave file (22.05 kHz, 16-bit, mono): a quiet 440 Hz tone, or silence.
std::string WavBytes(int milliseconds, bool silent = false);

// Code page 932 bytes of a Unicode text, and UTF-8 ones for failure messages.
std::string Cp932(const std::wstring& text);
std::string Utf8(const std::wstring& text);
// A settings file's bytes: its section, then each key=value line in code page 932.
std::string SettingsText(const std::vector<std::pair<std::wstring, std::wstring>>& keys);

}  // namespace orbi::test
