#include "bench/linux_cpu_win.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace orbi::bench {

namespace {

// USER_HZ: the unit of the tick counts in /proc/<pid>/stat, 100 on every Linux the program runs on under Wine.
constexpr double kTicksPerSecond = 100.0;

std::string ReadLinuxFile(const std::string& path) {
    std::string windowsPath = "Z:" + path;
    for (char& c : windowsPath)
        c = c == '/' ? '\\' : c;
    HANDLE file = CreateFileA(windowsPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    // Files under /proc report no size: read until the end.
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// A NUL-separated list (cmdline, environ) split into its parts.
std::vector<std::string> Parts(const std::string& text) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, '\0'))
        parts.push_back(part);
    return parts;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameText(std::string a, std::string b) {
    for (std::string* s : {&a, &b})
        for (char& c : *s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return a == b;
}

std::string Environment(const char* name) {
    char value[2048];
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

bool InPrefix(int pid, const std::string& prefix) {
    if (prefix.empty())
        return true;
    for (const std::string& variable : Parts(ReadLinuxFile("/proc/" + std::to_string(pid) + "/environ")))
        if (variable == "WINEPREFIX=" + prefix)
            return true;
    return false;
}

}  // namespace

std::vector<LinuxProcess> FindDrawingProcesses() {
    std::vector<LinuxProcess> found{{"process", 0}, {"X server", 0}, {"wineserver", 0}};
    char module[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string image = BaseName(std::string(module, length));
    const std::string display = Environment("DISPLAY");
    const std::string prefix = Environment("WINEPREFIX");

    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do {
        if (!std::isdigit(static_cast<unsigned char>(entry.cFileName[0])))
            continue;
        const int pid = std::atoi(entry.cFileName);
        const std::vector<std::string> args = Parts(ReadLinuxFile("/proc/" + std::to_string(pid) + "/cmdline"));
        if (args.empty())
            continue;
        const std::string name = BaseName(args[0]);
        // Other sessions on the machine run the same programs: the display and the prefix say which are ours.
        if (!found[0].pid && SameText(name, image) && InPrefix(pid, prefix))
            found[0].pid = pid;
        else if (!found[1].pid && (name == "Xvfb" || name == "Xephyr" || name == "Xorg") && args.size() > 1 &&
                 args[1] == display)
            found[1].pid = pid;
        else if (!found[2].pid && name.rfind("wineserver", 0) == 0 && InPrefix(pid, prefix))
            found[2].pid = pid;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return found;
}

double CpuSeconds(int pid) {
    if (pid <= 0)
        return -1;
    const std::string stat = ReadLinuxFile("/proc/" + std::to_string(pid) + "/stat");
    // The name in brackets may hold blanks: fields are counted after its closing bracket, which ends field 2.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    double user = -1, system = -1;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14)
            user = std::atof(field.c_str());
        if (number == 15)
            system = std::atof(field.c_str());
    }
    return user < 0 || system < 0 ? -1 : (user + system) / kTicksPerSecond;
}

}  // namespace orbi::bench
