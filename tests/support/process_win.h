// The program as a process: a copy of it in a scratch folder with its own settings file, started and ended, and
// counted to prove nothing is left behind.
#pragma once

#include <windows.h>

#include <string>

#include "support/files_win.h"

namespace orbi::test {

std::wstring BuiltScrPath();

// Long enough for a cold start of the program under Wine on a loaded machine; only a failing wait lasts that long.
constexpr DWORD kProgramWaitMs = 20000;

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

// Processor time the process has used, user and kernel, in milliseconds (counted in steps of 10 ms).
double CpuMs(HANDLE process);
// Every process still alive with this image name; used to prove nothing is left behind.
int CountProcesses(const std::wstring& imageName);

}  // namespace orbi::test
