// Helpers for tests that run Orbimotion.scr itself under Wine: a scratch folder with a copy of the program and
// its settings file, a started process, and waits with time-outs (never bare sleeps).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orbi::test {

std::wstring BuiltScrPath();
// The two-second tone the build makes with sox, as a Windows path.
std::wstring TestMp3Path();
// A Linux path as Wine sees it (Z:\...); Windows paths pass unchanged.
std::wstring WindowsPath(const std::string& path);

// Long enough for a cold start of the program under Wine on a loaded machine; only a failing wait lasts that long.
constexpr DWORD kProgramWaitMs = 20000;

// Runs what is waiting in this thread's queue, without waiting for more.
void Drain();
void Pump(DWORD ms);
// Polls `condition` every few milliseconds, pumping this thread's messages, until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

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

// The program copied into a scratch folder, so that its settings file is the test's own.
class ScrInstall {
  public:
    ScrInstall();
    const std::wstring& exe() const { return exe_; }
    const TempDir& dir() const { return dir_; }
    std::wstring IniPath() const { return dir_.File(L"Orbimotion.ini"); }
    // Empty, or why the program could not be copied.
    const std::string& problem() const { return problem_; }
    // Settings file content as code page 932 bytes.
    void WriteIni(const std::string& bytes) const { dir_.WriteBytes(L"Orbimotion.ini", bytes); }
    std::string ReadIni() const { return dir_.ReadBytes(L"Orbimotion.ini"); }

  private:
    TempDir dir_;
    std::wstring exe_;
    std::string problem_;
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
    bool ok_ = false;
};

class ScrProcess {
  public:
    ScrProcess() = default;
    ~ScrProcess();  // kills a process still running: no test leaves one behind
    ScrProcess(const ScrProcess&) = delete;
    ScrProcess& operator=(const ScrProcess&) = delete;

    // Starts `exe arguments` (the argument text after the quoted path). A failure is told on the error stream and
    // kept in problem(): the system's error and the command line.
    bool Start(const std::wstring& exe, const std::wstring& arguments);
    bool Start(const ScrInstall& install, const std::wstring& arguments);
    const std::string& problem() const { return problem_; }
    bool WaitExit(DWORD timeoutMs);
    bool Running() const;
    DWORD ExitCode() const;
    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE handle() const { return pi_.hProcess; }
    void Kill();

  private:
    bool Failed(const std::string& why);
    PROCESS_INFORMATION pi_{};
    std::string problem_;
};

// A plain top-level window of this process (a host's preview pane, or a window with a probed title), destroyed
// with the object.
class HostWindow {
  public:
    HostWindow(const wchar_t* title, DWORD style, int x, int y, int w, int h);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND hwnd() const { return hwnd_; }
    // The decimal handle as a host passes it after /p.
    std::wstring HandleText() const;
    // The first child window; GetParent answers 0 under Wine for WS_POPUP | WS_CHILD windows, so it enumerates.
    HWND FirstChild() const;
    void Destroy();

  private:
    HWND hwnd_ = nullptr;
};

// A top-level window with this exact title, or any shown one of the process, waited for; null on time-out.
HWND WaitForWindow(const std::wstring& title, DWORD timeoutMs);
HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs);

// Input as a user makes it, through SendInput (the target must be pumping messages); points anywhere on the desk.
void SendKey(WORD virtualKey);
void Key(WORD virtualKey, bool up);
void MoveMouseTo(int x, int y);
void ClickMouseAt(int x, int y, bool right = false);

// A visible message box or file dialog (class "#32770") owned by the window, waited for; null on time-out.
HWND WaitForOwnedBox(HWND owner, DWORD timeoutMs);
// The texts of a message box's static controls, joined.
std::wstring BoxText(HWND box);

HWND FindTopLevel(const std::function<bool(HWND)>& match);
HWND WaitForTopLevel(const std::function<bool(HWND)>& match, DWORD timeoutMs);
std::wstring ClassOf(HWND window);
// Every child window, nested ones included.
std::vector<HWND> Descendants(HWND parent);
// The text of a window of any process, asked of the window itself (never hangs on a hung one).
std::wstring TextOf(HWND window);
POINT Centre(HWND window);

// The screen as the X server shows it (every process's windows), in virtual-screen pixels, 0xRRGGBB.
std::vector<uint32_t> ScreenPixels(const RECT& area);
// Processor time the process has used, user and kernel, in milliseconds (counted in steps of 10 ms).
double CpuMs(HANDLE process);

// True while a program holds the file open for itself (as the wave player does while it loops).
bool HeldForItself(const std::wstring& path);
// A whole file's bytes; empty when it does not open.
std::string ReadFileBytes(const std::wstring& path);
// A PCM wave file (22.05 kHz, 16-bit, mono): a quiet 440 Hz tone, or silence.
std::string WavBytes(int milliseconds, bool silent = false);

// Code page 932 bytes of a Unicode text, and UTF-8 ones for failure messages.
std::string Cp932(const std::wstring& text);
std::string Utf8(const std::wstring& text);

// Every Orbimotion.scr process still alive (by image name); used to prove nothing is left behind.
int CountProcesses(const std::wstring& imageName);

}  // namespace orbi::test
