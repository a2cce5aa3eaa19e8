#include "support/process_win.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "support/windows_win.h"

namespace orbi::test {

namespace {

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

std::wstring BuiltScrPath() {
#ifdef ORBI_SCR_PATH
    return WindowsPath(ORBI_SCR_PATH);
#else
    return L"";
#endif
}

ScrInstall::ScrInstall() {
    exe_ = dir_.File(L"Orbimotion.scr");
    if (!CopyFileW(BuiltScrPath().c_str(), exe_.c_str(), FALSE))
        problem_ = "copying " + Utf8(BuiltScrPath()) + " failed with error " + ErrorText(GetLastError());
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

double CpuMs(HANDLE process) {
    FILETIME t[4];
    GetProcessTimes(process, &t[0], &t[1], &t[2], &t[3]);
    const auto ms = [](const FILETIME& f) { return (uint64_t{f.dwHighDateTime} << 32 | f.dwLowDateTime) / 1e4; };
    return ms(t[2]) + ms(t[3]);
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
